#pragma once

// Pictures read on a worker thread while a window builds its controls, so
// that decoding (and the first use of an image format plugin) does not add
// to the time before the window first shows. On a screen scaled above 1 the
// reader takes the "@2x" file beside the named one as well, drawn at twice
// the size, so that pictures and icons stay sharp.

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>

#include <future>

namespace toolkit {

class PictureReader {
public:
    // Starts reading every image of the file (an icon may hold several sizes)
    // and of its @2x version when the screen is scaled and the file exists.
    explicit PictureReader(const QString& path);
    ~PictureReader();
    PictureReader(const PictureReader&) = delete;
    PictureReader& operator=(const PictureReader&) = delete;

    // Waits for the reading. A file that cannot be read gives a null pixmap
    // and an empty icon, as QPixmap and QIcon given its name would. The pixmap
    // is the @2x picture where there is one, at a device pixel ratio of 2.
    QPixmap pixmap();
    QIcon icon();

private:
    QList<QImage> take();

    std::future<QList<QImage>> m_images;
};

}  // namespace toolkit

#pragma once

// Pictures read on a worker thread while a window builds its controls, so
// that decoding (and the first use of an image format plugin) does not add
// to the time before the window first shows.

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QString>

#include <future>

namespace toolkit {

class PictureReader {
public:
    // Starts reading every image of the file (an icon may hold several sizes).
    explicit PictureReader(const QString& path);
    ~PictureReader();
    PictureReader(const PictureReader&) = delete;
    PictureReader& operator=(const PictureReader&) = delete;

    // Waits for the reading. A file that cannot be read gives a null pixmap
    // and an empty icon, as QPixmap and QIcon given its name would.
    QPixmap pixmap();
    QIcon icon();

private:
    QList<QImage> take();

    std::future<QList<QImage>> m_images;
};

}  // namespace toolkit

#include "toolkit/pictures.h"

#include <QImageReader>

#include <system_error>
#include <utility>

namespace toolkit {
namespace {

QList<QImage> readAll(const QString& path) {
    QList<QImage> images;
    QImageReader reader(path);
    do {
        QImage image = reader.read();
        if (image.isNull()) {
            break;
        }
        images.append(std::move(image));
    } while (reader.jumpToNextImage());
    return images;
}

}  // namespace

PictureReader::PictureReader(const QString& path) {
    try {
        m_images = std::async(std::launch::async, readAll, path);
    } catch (const std::system_error&) {
        // No thread to be had: read when the pictures are asked for.
        m_images = std::async(std::launch::deferred, readAll, path);
    }
}

// A reader dropped unused still waits for its thread, as the future does.
PictureReader::~PictureReader() = default;

QList<QImage> PictureReader::take() {
    return m_images.valid() ? m_images.get() : QList<QImage>();
}

QPixmap PictureReader::pixmap() {
    const QList<QImage> images = take();
    return images.isEmpty() ? QPixmap() : QPixmap::fromImage(images.front());
}

QIcon PictureReader::icon() {
    QIcon icon;
    for (const QImage& image : take()) {
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace toolkit

#include "toolkit/pictures.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>

#include <algorithm>
#include <system_error>
#include <utility>

namespace toolkit {
namespace {

void readInto(QList<QImage>& images, const QString& path) {
    QImageReader reader(path);
    do {
        QImage image = reader.read();
        if (image.isNull()) {
            break;
        }
        images.append(std::move(image));
    } while (reader.jumpToNextImage());
}

// The @2x images last; Qt's reader gives them their device pixel ratio.
QList<QImage> readAll(const QString& path, const QString& doubled) {
    QList<QImage> images;
    readInto(images, path);
    if (!doubled.isEmpty()) {
        readInto(images, doubled);
    }
    return images;
}

QString doubledFile(const QString& path) {
    if (qApp == nullptr || qApp->devicePixelRatio() <= 1.0) {
        return {};
    }
    const QFileInfo info(path);
    const QString doubled = info.path() + QLatin1Char('/') + info.completeBaseName() +
                            QStringLiteral("@2x.") + info.suffix();
    return QFileInfo::exists(doubled) ? doubled : QString();
}

}  // namespace

PictureReader::PictureReader(const QString& path) {
    const QString doubled = doubledFile(path);
    try {
        m_images = std::async(std::launch::async, readAll, path, doubled);
    } catch (const std::system_error&) {
        // No thread to be had: read when the pictures are asked for.
        m_images = std::async(std::launch::deferred, readAll, path, doubled);
    }
}

// A reader dropped unused still waits for its thread, as the future does.
PictureReader::~PictureReader() = default;

QList<QImage> PictureReader::take() {
    return m_images.valid() ? m_images.get() : QList<QImage>();
}

QPixmap PictureReader::pixmap() {
    const QList<QImage> images = take();
    const auto sharpest =
        std::max_element(images.begin(), images.end(), [](const QImage& a, const QImage& b) {
            return a.devicePixelRatio() < b.devicePixelRatio();
        });
    return sharpest == images.end() ? QPixmap() : QPixmap::fromImage(*sharpest);
}

QIcon PictureReader::icon() {
    QIcon icon;
    // An icon picks its images by their size in device pixels.
    for (QImage image : take()) {
        image.setDevicePixelRatio(1.0);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace toolkit

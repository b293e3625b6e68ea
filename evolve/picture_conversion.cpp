#include "evolve/picture_conversion.h"

#include <QBuffer>

#include "display/offscreen_image.h"

QImage ToQImage(const COffscreenImage& image) {
    if (image.Bits() == nullptr || image.BitsPerPixel() != 24) return {};
    QImage picture(image.Width(), image.Height(), QImage::Format_RGB888);
    for (int y = 0; y < image.Height(); ++y) {
        const unsigned char* from = image.Bits() + static_cast<qptrdiff>(y) * image.Pitch();
        uchar* to = picture.scanLine(y);
        for (int x = 0; x < image.Width(); ++x) {
            to[3 * x] = from[3 * x + 2];
            to[3 * x + 1] = from[3 * x + 1];
            to[3 * x + 2] = from[3 * x];
        }
    }
    return picture;
}

std::unique_ptr<COffscreenImage> ToOffscreenImage(const QImage& picture) {
    auto image = std::make_unique<COffscreenImage>();
    // A positive height, as a panel's CreateImage asks for: the rows lie bottom first in memory.
    if (!image->Create(picture.width(), picture.height(), 24)) return image;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* from = rgb.constScanLine(y);
        unsigned char* to = image->Bits() + static_cast<qptrdiff>(y) * image->Pitch();
        for (int x = 0; x < rgb.width(); ++x) {
            to[3 * x] = from[3 * x + 2];
            to[3 * x + 1] = from[3 * x + 1];
            to[3 * x + 2] = from[3 * x];
        }
    }
    return image;
}

QByteArray PngBytes(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

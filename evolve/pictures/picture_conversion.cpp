#include "evolve/pictures/picture_conversion.h"

#include <QBuffer>

#include "display/offscreen_image.h"

namespace {

// One row of width pixels from blue, green, red order to red, green, blue, or back: the same swap.
void SwapRedAndBlue(const unsigned char* from, unsigned char* to, int width) {
    for (int x = 0; x < width; ++x) {
        to[3 * x] = from[3 * x + 2];
        to[3 * x + 1] = from[3 * x + 1];
        to[3 * x + 2] = from[3 * x];
    }
}

}  // namespace

QImage ToQImage(const COffscreenImage& image) {
    if (image.Bits() == nullptr || image.BitsPerPixel() != 24) return {};
    QImage picture(image.Width(), image.Height(), QImage::Format_RGB888);
    for (int y = 0; y < image.Height(); ++y) {
        SwapRedAndBlue(image.Bits() + static_cast<qptrdiff>(y) * image.Pitch(), picture.scanLine(y), image.Width());
    }
    return picture;
}

std::unique_ptr<COffscreenImage> ToOffscreenImage(const QImage& picture) {
    auto image = std::make_unique<COffscreenImage>();
    // A positive height, as a panel's CreateImage asks for: the rows lie bottom first in memory.
    if (!image->Create(picture.width(), picture.height(), 24)) return image;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < rgb.height(); ++y) {
        SwapRedAndBlue(rgb.constScanLine(y), image->Bits() + static_cast<qptrdiff>(y) * image->Pitch(), rgb.width());
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

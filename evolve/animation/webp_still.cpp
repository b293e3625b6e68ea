#include "evolve/animation/webp_still.h"

#include <webp/decode.h>
#include <webp/encode.h>

namespace {

// The fastest lossless effort: stills are only kept until the animation is made from them.
constexpr int kStillEffort = 0;

}  // namespace

QByteArray WebpStill(const QImage& picture) {
    if (picture.isNull()) return {};
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    WebPConfig config;
    WebPPicture frame;
    if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, kStillEffort) || !WebPPictureInit(&frame))
        return {};
    config.exact = 1;
    frame.use_argb = 1;
    frame.width = rgb.width();
    frame.height = rgb.height();
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    frame.writer = WebPMemoryWrite;
    frame.custom_ptr = &writer;
    const bool encoded = WebPPictureImportRGB(&frame, rgb.constBits(), static_cast<int>(rgb.bytesPerLine())) &&
                         WebPEncode(&config, &frame);
    QByteArray bytes;
    if (encoded) bytes = QByteArray(reinterpret_cast<const char*>(writer.mem), static_cast<qsizetype>(writer.size));
    WebPMemoryWriterClear(&writer);
    WebPPictureFree(&frame);
    return bytes;
}

QImage DecodeWebpStill(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    const auto size = static_cast<size_t>(bytes.size());
    int width = 0;
    int height = 0;
    if (!WebPGetInfo(data, size, &width, &height)) return {};
    QImage picture(width, height, QImage::Format_RGB888);
    if (picture.isNull() || WebPDecodeRGBInto(data, size, picture.bits(), static_cast<size_t>(picture.sizeInBytes()),
                                              static_cast<int>(picture.bytesPerLine())) == nullptr)
        return {};
    return picture;
}

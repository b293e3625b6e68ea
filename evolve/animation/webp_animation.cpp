#include "evolve/animation/webp_animation.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <memory>

#include "evolve/animation/webp_still.h"

namespace {

// cwebp's -z 1: near the smallest files at a fraction of the time the higher efforts take.
constexpr int kAnimationEffort = 1;

struct EncoderDeleter {
    void operator()(WebPAnimEncoder* encoder) const { WebPAnimEncoderDelete(encoder); }
};

// Frees the picture's pixels however the encoding ends.
struct PictureHolder {
    WebPPicture picture{};
    ~PictureHolder() { WebPPictureFree(&picture); }
};

QString EncoderError(WebPAnimEncoder* encoder, const char* what) {
    const char* reason = WebPAnimEncoderGetError(encoder);
    return QStringLiteral("the animation could not be encoded: %1%2")
        .arg(QLatin1String(what),
             reason != nullptr && *reason != '\0' ? QStringLiteral(" (%1)").arg(reason) : QString());
}

}  // namespace

QString EncodeAnimation(const std::vector<AnimationFrame>& frames, int holdMilliseconds, QByteArray& animation) {
    animation.clear();
    if (frames.empty()) return QStringLiteral("the animation has no frames");
    const QImage first = DecodeWebpStill(frames.front().still);
    if (first.isNull()) return QStringLiteral("the animation's first frame is not a WebP picture");

    WebPAnimEncoderOptions options;
    WebPConfig config;
    PictureHolder holder;
    WebPPicture& picture = holder.picture;
    if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config) ||
        !WebPConfigLosslessPreset(&config, kAnimationEffort) || !WebPPictureInit(&picture))
        return QStringLiteral("the animation could not be encoded: libwebp's version does not fit");
    options.anim_params.loop_count = 0;  // forever
    options.anim_params.bgcolor = 0xFFFFFFFFu;
    // No key frames: every frame is the change from the one before, as small as it can be, and each is
    // encoded once, with nothing held back for a later choice.
    options.kmin = 0;
    options.kmax = 0;
    options.minimize_size = 0;
    options.allow_mixed = 0;
    config.exact = 1;
    const std::unique_ptr<WebPAnimEncoder, EncoderDeleter> encoder(
        WebPAnimEncoderNew(first.width(), first.height(), &options));
    if (!encoder) return QStringLiteral("the animation could not be encoded: out of memory");
    picture.use_argb = 1;
    picture.width = first.width();
    picture.height = first.height();

    int timestamp = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const QImage frame = i == 0 ? first : DecodeWebpStill(frames[i].still);
        if (frame.size() != first.size())
            return QStringLiteral("the animation's frame %1 is not a WebP picture of the first frame's size")
                .arg(i + 1);
        if (!WebPPictureImportRGB(&picture, frame.constBits(), static_cast<int>(frame.bytesPerLine())) ||
            !WebPAnimEncoderAdd(encoder.get(), &picture, timestamp, &config))
            return EncoderError(encoder.get(), "a frame was refused");
        timestamp += frames[i].milliseconds;
    }
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp + holdMilliseconds, nullptr) ||
        !WebPAnimEncoderAssemble(encoder.get(), &data))
        return EncoderError(encoder.get(), "the frames could not be put together");
    animation = QByteArray(reinterpret_cast<const char*>(data.bytes), static_cast<qsizetype>(data.size));
    WebPDataClear(&data);
    return {};
}

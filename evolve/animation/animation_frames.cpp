#include "evolve/animation/animation_frames.h"

#include "evolve/animation/webp_still.h"

QString CAnimationFrames::Add(const QImage& picture, int milliseconds) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    ++revision;
    if (!frames.empty() && rgb == last) {
        frames.back().milliseconds += milliseconds;
        return {};
    }
    QByteArray still = WebpStill(rgb);
    if (still.isEmpty())
        return QStringLiteral("the animation's frame %1 could not be compressed (out of memory?)")
            .arg(frames.size() + 1);
    frames.push_back(AnimationFrame{std::move(still), milliseconds});
    last = rgb;
    return {};
}

void CAnimationFrames::Lengthen(int milliseconds) {
    if (frames.empty()) return;
    frames.back().milliseconds += milliseconds;
    ++revision;
}

QString CAnimationFrames::EndWith(const QImage& picture, int milliseconds) {
    if (!frames.empty() && picture.convertToFormat(QImage::Format_RGB888) == last) return {};
    return Add(picture, milliseconds);
}

QString CAnimationFrames::Restore(std::vector<AnimationFrame> saved) {
    QImage picture;
    if (!saved.empty()) {
        picture = DecodeWebpStill(saved.back().still);
        if (picture.isNull()) return QStringLiteral("its animation's last frame is not a WebP picture");
    }
    frames = std::move(saved);
    last = picture;
    ++revision;
    return {};
}

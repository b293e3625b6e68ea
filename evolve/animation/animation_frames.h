// The frames of a run's animation as the run goes: the target picture, then best at the end of every
// generation. Each picture is kept as a lossless WebP still, so memory grows by the compressed frames
// alone, and a picture equal to the one before only makes that frame last longer. The frames go into
// the checkpoint, so a continued run's animation holds every frame of the whole run.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

// How long each picture is shown.
inline constexpr int kTargetMilliseconds = 1000;
inline constexpr int kGenerationMilliseconds = 100;
// What the last frame gets beyond its own time before the animation starts over.
inline constexpr int kLastFrameHoldMilliseconds = 2000;

inline constexpr char kAnimationFileName[] = "evolution.webp";

struct AnimationFrame {
    QByteArray still;  // the picture as a lossless WebP
    int milliseconds = 0;
};

class CAnimationFrames {
public:
    // Shows picture for milliseconds after the frames so far. Empty, or the error.
    QString Add(const QImage& picture, int milliseconds);
    // Shows the last frame milliseconds longer.
    void Lengthen(int milliseconds);
    // Ends the frames with picture, for milliseconds, unless the last frame shows it already.
    QString EndWith(const QImage& picture, int milliseconds);
    // Takes up the frames of a saved run. Empty, or the error when its last still cannot be read.
    QString Restore(std::vector<AnimationFrame> saved);

    const std::vector<AnimationFrame>& Frames() const { return frames; }
    bool Empty() const { return frames.empty(); }
    // Changes with every change of the frames, so that an encoding of them can be kept until then.
    int Revision() const { return revision; }

private:
    std::vector<AnimationFrame> frames;
    QImage last;  // the last frame's picture, RGB888
    int revision = 0;
};

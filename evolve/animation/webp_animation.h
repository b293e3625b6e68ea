// A run's frames as an animated lossless WebP, made by libwebp's animation encoder: it loops forever,
// each frame stored as its change from the one before, and decodes to the frames' pixels exactly.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "evolve/animation/animation_frames.h"

// The last frame is shown holdMilliseconds beyond its own time. Empty, or the error; animation is
// left empty then.
QString EncodeAnimation(const std::vector<AnimationFrame>& frames, int holdMilliseconds, QByteArray& animation);

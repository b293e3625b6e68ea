// One picture as a lossless WebP still and back. The pixels pass unchanged both ways.
#pragma once

#include <QByteArray>
#include <QImage>

// Empty when the picture is null or the encoder fails (out of memory).
QByteArray WebpStill(const QImage& picture);

// An RGB888 image; null for bytes that are not a WebP picture.
QImage DecodeWebpStill(const QByteArray& bytes);

// Pictures between the program's 24-bit offscreen images (blue, green, red; rows Pitch() apart) and
// Qt's images, which read and write PNG and JPEG. Pixel values pass unchanged both ways.
#pragma once

#include <QImage>
#include <memory>

class COffscreenImage;

// An RGB888 copy of the image; a null image for an empty one.
QImage ToQImage(const COffscreenImage& image);

// A new 24-bit offscreen image of the picture's size, made the way a panel makes its images.
std::unique_ptr<COffscreenImage> ToOffscreenImage(const QImage& picture);

// The picture as PNG bytes; the same pixels always give the same bytes.
QByteArray PngBytes(const QImage& picture);

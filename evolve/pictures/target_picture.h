// A picture of the user's own as the target of a run: read and checked before anything is written,
// then fitted to the panel. Fitting keeps the aspect ratio: the picture is scaled, smoothly, to the
// largest size that fits the panel, centred, and the rest is black, as is anything transparent.
#pragma once

#include <QImage>
#include <QString>

// Pictures larger than this are refused before they are decoded.
inline constexpr qint64 kMaxTargetPixels = 64'000'000;

struct TargetPicture {
    QImage picture;
    QString error;  // one line naming the problem; empty when the picture is usable
};

// Reads a PNG or JPEG file, judged by its content, turned upright as its orientation tag says. A file
// that the decoder finds cut short or corrupt is refused, even where it could show part of it. The
// decoders' own messages are silenced meanwhile; the error line says what went wrong.
TargetPicture ReadTargetPicture(const QString& path);

// The picture on a black panel of the given size, as RGB888.
QImage FitToPanel(const QImage& picture, int width, int height);

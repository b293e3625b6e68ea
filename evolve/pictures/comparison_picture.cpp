#include "evolve/pictures/comparison_picture.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kMargin = 16;
constexpr int kNameHeight = 24;
constexpr int kCaptionHeight = 32;
constexpr int kBrightening = 4;

QImage Difference(const QImage& a, const QImage& b) {
    const QImage first = a.convertToFormat(QImage::Format_RGB888);
    const QImage second = b.convertToFormat(QImage::Format_RGB888);
    QImage difference(first.size(), QImage::Format_RGB888);
    for (int y = 0; y < first.height(); ++y) {
        const uchar* p = first.constScanLine(y);
        const uchar* q = second.constScanLine(y);
        uchar* d = difference.scanLine(y);
        for (int x = 0; x < 3 * first.width(); ++x)
            d[x] = static_cast<uchar>(std::min(255, kBrightening * std::abs(p[x] - q[x])));
    }
    return difference;
}

}  // namespace

QRect ComparisonPanel(int index, QSize picture) {
    return QRect(kMargin + index * (picture.width() + kMargin), kMargin + kNameHeight, picture.width(),
                 picture.height());
}

QImage ComparisonPicture(const QImage& target, const QImage& best, const QString& caption) {
    const QSize size = target.size();
    const QRect last = ComparisonPanel(2, size);
    QImage image(last.right() + 1 + kMargin, last.bottom() + 1 + kCaptionHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    painter.setFont(font);
    const QImage pictures[] = {target, best, Difference(target, best)};
    const QString names[] = {QStringLiteral("target"), QStringLiteral("best"),
                             QStringLiteral("difference (x%1)").arg(kBrightening)};
    for (int i = 0; i < 3; ++i) {
        const QRect panel = ComparisonPanel(i, size);
        painter.drawText(QRect(panel.left(), kMargin, panel.width(), kNameHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         names[i]);
        painter.drawImage(panel.topLeft(), pictures[i]);
    }
    painter.drawText(QRect(kMargin, last.bottom() + 1, image.width() - 2 * kMargin, kCaptionHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
    return image;
}

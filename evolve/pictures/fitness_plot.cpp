#include "evolve/pictures/fitness_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kLeft = 90;
constexpr int kRight = 30;
constexpr int kTop = 56;
constexpr int kBottom = 64;
// Beyond this many generations the dots would merge into the line.
constexpr std::size_t kMostDottedRows = 150;
const QColor kBestColour(0x1f, 0x5f, 0xa8);
const QColor kMedianColour(0xd9, 0x6c, 0x1a);

// A step of 1, 2 or 5 times a power of ten that cuts the span into about `parts` pieces.
double NiceStep(double span, int parts) {
    const double rough = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (rough <= factor * power) return factor * power;
    return 10.0 * power;
}

int DecimalsFor(double step) { return std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9))); }

// A press's generations follow the previous press's, so its generation 0 sits where the last one ended.
double PlotX(const FitnessRow& row, int generationsPerPress) {
    const int span = std::max(generationsPerPress, 1);
    return static_cast<double>(row.press - 1) * span + row.generation;
}

}  // namespace

QImage PlotFitness(const std::vector<FitnessRow>& rows, int generationsPerPress) {
    QImage image(kPlotWidth, kPlotHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    painter.setFont(font);
    const QRectF area(kLeft, kTop, kPlotWidth - kLeft - kRight, kPlotHeight - kTop - kBottom);

    double xMax = 1.0;
    double yMin = 0.0, yMax = 1.0;
    if (!rows.empty()) {
        yMin = rows.front().best;
        yMax = rows.front().median;
        for (const FitnessRow& row : rows) {
            xMax = std::max(xMax, PlotX(row, generationsPerPress));
            yMin = std::min({yMin, row.best, row.median});
            yMax = std::max({yMax, row.best, row.median});
        }
        const double pad = yMax > yMin ? 0.05 * (yMax - yMin) : std::max(1e-6, 0.05 * std::fabs(yMax));
        yMin = std::max(0.0, yMin - pad);
        yMax += pad;
    }
    const auto toX = [&](double x) { return area.left() + area.width() * x / xMax; };
    const auto toY = [&](double y) { return area.bottom() - area.height() * (y - yMin) / (yMax - yMin); };

    // Grid, ticks and their labels.
    const QPen gridPen(QColor(0xe4, 0xe4, 0xe4), 1.0);
    const QPen axisPen(Qt::black, 1.0);
    const double yStep = NiceStep(yMax - yMin, 6);
    const int yDecimals = DecimalsFor(yStep);
    for (double y = std::ceil(yMin / yStep) * yStep; y <= yMax + 1e-12; y += yStep) {
        painter.setPen(gridPen);
        painter.drawLine(QPointF(area.left(), toY(y)), QPointF(area.right(), toY(y)));
        painter.setPen(axisPen);
        painter.drawText(QRectF(0, toY(y) - 10, kLeft - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(y, 'f', yDecimals));
    }
    const double xStep = std::max(1.0, NiceStep(xMax, 10));
    for (double x = 0.0; x <= xMax + 1e-9; x += xStep) {
        painter.setPen(axisPen);
        painter.drawLine(QPointF(toX(x), area.bottom()), QPointF(toX(x), area.bottom() + 5));
        painter.drawText(QRectF(toX(x) - 40, area.bottom() + 6, 80, 18), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(x, 'f', 0));
    }
    painter.setPen(axisPen);
    painter.drawRect(area);
    painter.drawText(QRectF(area.left(), kPlotHeight - 26, area.width(), 20), Qt::AlignHCenter,
                     QStringLiteral("generation (counted on across presses)"));
    painter.save();
    painter.translate(18, area.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-area.height() / 2, -10, area.height(), 20), Qt::AlignHCenter,
                     QStringLiteral("fitness (lower is better)"));
    painter.restore();

    // Where each press starts.
    QPen pressPen(QColor(0x80, 0x80, 0x80), 1.0, Qt::DashLine);
    for (const FitnessRow& row : rows) {
        if (row.generation != 0) continue;
        const double x = toX(PlotX(row, generationsPerPress));
        painter.setPen(pressPen);
        if (row.press > 1) painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.setPen(axisPen);
        painter.drawText(QRectF(x + 4, area.bottom() - 22, 80, 18), Qt::AlignLeft | Qt::AlignBottom,
                         QStringLiteral("press %1").arg(row.press));
    }

    // The curves, one piece per press: the jump at a press's start is a new target, not a step.
    const auto curve = [&](double FitnessRow::*value, const QPen& pen) {
        painter.setPen(pen);
        QPainterPath path;
        int press = 0;
        for (const FitnessRow& row : rows) {
            const QPointF point(toX(PlotX(row, generationsPerPress)), toY(row.*value));
            if (row.press != press) {
                path.moveTo(point);
                press = row.press;
            } else {
                path.lineTo(point);
            }
            if (rows.size() <= kMostDottedRows) painter.drawEllipse(point, 1.5, 1.5);
        }
        painter.drawPath(path);
    };
    curve(&FitnessRow::median, QPen(kMedianColour, 2.0, Qt::DashLine));
    curve(&FitnessRow::best, QPen(kBestColour, 2.0));

    // Title and legend.
    painter.setPen(axisPen);
    QFont title = font;
    title.setPixelSize(16);
    painter.setFont(title);
    painter.drawText(QRectF(area.left(), 12, area.width(), 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Ramulon: fitness of the population"));
    painter.setFont(font);
    const double legendX = area.right() - 190;
    painter.setPen(QPen(kBestColour, 2.0));
    painter.drawLine(QPointF(legendX, 24), QPointF(legendX + 28, 24));
    painter.setPen(QPen(kMedianColour, 2.0, Qt::DashLine));
    painter.drawLine(QPointF(legendX + 100, 24), QPointF(legendX + 128, 24));
    painter.setPen(axisPen);
    painter.drawText(QPointF(legendX + 34, 29), QStringLiteral("best"));
    painter.drawText(QPointF(legendX + 134, 29), QStringLiteral("median"));
    if (rows.empty()) painter.drawText(area, Qt::AlignCenter, QStringLiteral("no generation was scored"));
    return image;
}

// compare-P.png: the target, the best tree's picture and where they differ, side by side, each named
// above it, with a line that says the press, the generation and the fitness, in the plot's font.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

// Where the index-th picture (0 target, 1 best, 2 difference) of the given size lies in the comparison.
QRect ComparisonPanel(int index, QSize picture);

// target and best are of one size. The difference shows each colour channel's absolute difference four
// times as bright, so that black is where the pictures agree.
QImage ComparisonPicture(const QImage& target, const QImage& best, const QString& caption);

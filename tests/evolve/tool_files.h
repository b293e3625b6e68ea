// Reading what a run of the tool leaves behind, for the tests that compare two runs' files.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of a file without the columns or lines that hold times.
inline QByteArray WithoutTimes(const QString& name, QByteArray bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& line : lines) {
        if (name == QLatin1String("run.json") && (line.contains("\"started\"") || line.contains("\"ended\"")))
            line.clear();
        if (name == QLatin1String("fitness.csv")) {
            QList<QByteArray> cells = line.split(',');
            if (cells.size() > 3) cells[3].clear();
            line = cells.join(',');
        }
    }
    return lines.join('\n');
}

// Running the tool as a user does, and reading what a run leaves behind, for the tests that compare two
// runs' files.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QString>
#include <string>

#include "evolve/checkpoint/checkpoint_format.h"

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

// The tool in a process of its own, to its end; status -1 when a signal ended it.
inline ToolRun RunTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(RAMULON_EVOLVE_EXECUTABLE), arguments);
    tool.waitForFinished(-1);
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromUtf8(tool.readAllStandardOutput()), QString::fromUtf8(tool.readAllStandardError())};
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file without what holds times: run.json's and index.html's start and end, fitness.csv's seconds,
// the checkpoint's start and seconds. With withoutJobs, also how many jobs and workers drew the run, which changes no
// result.
inline QByteArray WithoutTimes(const QString& name, QByteArray bytes, bool withoutJobs = false) {
    if (name == QLatin1String("checkpoint.bin")) {
        RunState state;
        if (!ParseCheckpoint(bytes, state).isEmpty()) return bytes;
        state.started.clear();
        state.seconds = 0.0;
        for (FitnessRow& row : state.rows) row.seconds = 0.0;
        if (withoutJobs) state.options.jobs = state.workers = 0;
        return CheckpointBytes(state);
    }
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& line : lines) {
        if (name == QLatin1String("run.json") && (line.contains("\"started\"") || line.contains("\"ended\"") ||
                                                  (withoutJobs && line.contains("\"workers\""))))
            line.clear();
        if (name == QLatin1String("run.json") && withoutJobs && line.contains("\"jobs\""))
            line = line.left(line.indexOf("\"jobs\""));
        if (name == QLatin1String("index.html") &&
            (line.contains("<time") ||
             (withoutJobs && (line.contains("<th>Jobs</th>") || line.contains("<th>Render workers</th>")))))
            line.clear();
        if (name == QLatin1String("fitness.csv")) {
            QList<QByteArray> cells = line.split(',');
            if (cells.size() > 3) cells[3].clear();
            line = cells.join(',');
        }
    }
    return lines.join('\n');
}

// Every file of one run's folder, and no other, in the other's, equal but for times and jobs.
inline void ExpectSameFiles(const QString& expected, const QString& actual, const std::string& what) {
    const QDir::Filters everything = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    const QStringList names = QDir(expected).entryList(everything, QDir::Name);
    EXPECT_EQ(names, QDir(actual).entryList(everything, QDir::Name)) << what;
    for (const QString& name : names) {
        EXPECT_TRUE(WithoutTimes(name, ReadAll(QDir(expected).filePath(name)), true) ==
                    WithoutTimes(name, ReadAll(QDir(actual).filePath(name)), true))
            << what << ": " << name.toStdString() << " differs";
    }
}

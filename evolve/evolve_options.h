// The command line of ramulon-evolve. Parsing looks at the arguments alone; whether the target picture
// can be read and the output folder written is checked afterwards, before anything is written.
#pragma once

#include <QString>
#include <QStringList>

#include "evolve/record/run_options.h"

// Bounds beyond which a run would take years or its counts would not fit; above them the input is refused.
inline constexpr int kMaxPresses = 1000;
inline constexpr int kMaxGenerations = 10000;
inline constexpr int kMaxRandomizations = 10000;
inline constexpr int kMaxJobs = 256;
inline constexpr int kMaxCheckpointSeconds = 86400;
inline constexpr int kDefaultCheckpointSeconds = 60;

struct EvolveOptions : RunOptions {
    QString outputFolder;
    bool force = false;
    // --continue: go on with the run in the folder if it holds one, else start it; --resume: go on
    // with it, and refuse a folder without one.
    bool continueRun = false;
    bool resume = false;
    int checkpointSeconds = kDefaultCheckpointSeconds;  // at most this long between checkpoints; 0: every generation
    QStringList given;                                  // the options the command line named, as "--presses"
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    EvolveOptions options;
    QString error;  // one line naming the problem; empty when the arguments are fine
};

// The arguments after the program's name. --help anywhere wins over every other argument, then --version.
ParsedOptions ParseEvolveOptions(const QStringList& arguments);

// The options of the run being continued, with those of the command line that may change: --jobs,
// --checkpoint-every and a higher --presses. Empty, or the error line naming the first option given
// that differs from the run's.
QString ContinuedOptions(const EvolveOptions& commandLine, const RunOptions& run, EvolveOptions& continued);

QString EvolveUsage();

// For --version, as GNU programs give it: "ramulon-evolve <version>" on the first line, which scripts
// read, then the copyright and the licence.
QString EvolveVersionText();

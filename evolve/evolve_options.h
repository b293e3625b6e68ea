// The command line of ramulon-evolve. Parsing looks at the arguments alone; whether the target picture
// can be read and the output folder written is checked afterwards, before anything is written.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "app/train_press.h"

// Bounds beyond which a run would take years or its counts would not fit; above them the input is refused.
inline constexpr int kMaxPresses = 1000;
inline constexpr int kMaxGenerations = 10000;
inline constexpr int kMaxRandomizations = 10000;
inline constexpr int kMaxJobs = 256;

struct EvolveOptions {
    int presses = 1;
    int generations = kGenerationsPerPress;
    int randomizations = 0;  // presses of "Randomize Tree" before the first press of "Train"
    QString targetFile;      // empty: the left panel's picture, as in the dialog
    QString outputFolder;
    // Seeds the process-wide random generator before the dialog is made; without it the generator is
    // left unseeded, as in the dialog, and every run grows the dialog's trees.
    std::optional<std::uint32_t> seed;
    int jobs = 0;  // threads that draw at once; 0: one per core the process may run on
    bool force = false;
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    EvolveOptions options;
    QString error;  // one line naming the problem; empty when the arguments are fine
};

// The arguments after the program's name. --help anywhere wins over every other argument, then --version.
ParsedOptions ParseEvolveOptions(const QStringList& arguments);

QString EvolveUsage();

// "ramulon-evolve <version>" and a newline, for --version.
QString EvolveVersionLine();

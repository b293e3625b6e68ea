// What a run was asked to do: the options that decide which trees it grows and which files it leaves.
// run.json and the checkpoint record them; a continued run keeps them, except for the number of jobs,
// which changes no result, and the number of presses, which may be raised to extend a finished run.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "app/train_press.h"

struct RunOptions {
    int presses = 1;
    int generations = kGenerationsPerPress;
    int randomizations = 0;  // presses of "Randomize Tree" before the first press of "Train"
    QString targetFile;      // empty: the left panel's picture, as in the dialog
    // Seeds the process-wide random generator before the dialog is made; without it the generator is
    // left unseeded, as in the dialog, and every run grows the dialog's trees.
    std::optional<std::uint32_t> seed;
    int jobs = 0;  // render workers that draw at once; 0: one per core the process may run on
    bool animation = true;  // evolution.webp; --no-animation leaves it out
};

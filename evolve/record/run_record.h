// run.json: what a run was asked to do, what it ran on, when, how far it got and why it ended. It is
// written when the run starts, after every press, at the end and after a failed write if it still can
// be, so a folder holding it always holds a run. Only the times differ between two runs with the same
// options on the same machine.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "evolve/record/run_options.h"

struct PressRecord {
    int press = 0;
    int generations = 0;  // completed; fewer than asked when the run was stopped
    double bestFitness = 0.0;
};

struct RunRecord {
    RunOptions options;
    QString version;
    QString renderer;
    int workers = 0;  // render worker processes that scored candidates; 0 when the right panel drew them all
    int panelWidth = 0;
    int panelHeight = 0;
    QString started;  // ISO 8601, UTC
    QString ended;    // empty while the run goes on
    QString state;    // "running", "finished", "interrupted" or "failed"
    QString signal;   // "SIGINT", "SIGTERM" or "SIGHUP" when interrupted
    QString error;    // the error line when failed
    std::vector<PressRecord> presses;
};

// The folder and --force are left out: they decide where the files go, not what they hold.
std::string RunJson(const RunRecord& record);

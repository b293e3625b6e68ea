// index.html, the page that shows a run: how far it got, its animation, the target beside the best of
// every press, the fitness plot, a table of the presses, its parameters and links to its files. The
// page stands alone: no script, no style sheet or font from elsewhere, and only relative links, each
// to a file that exists.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "evolve/record/fitness_log.h"
#include "evolve/record/run_record.h"

inline constexpr char kReportPageName[] = "index.html";

// exists tells whether the run's folder holds a file; the page names no other.
std::string ReportPage(const RunRecord& record, const std::vector<FitnessRow>& rows,
                       const std::function<bool(const QString&)>& exists);

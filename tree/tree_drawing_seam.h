// Test-only view into tree drawing: which nodes a draw reaches and how many cylinders it issues.
// The program never installs a log; with none installed drawing records nothing.
#pragma once

#include <vector>

struct TreeDrawingLog {
    std::vector<int> nodes;  // nodes drawn, in drawing order; the root is node 0
    long long segments = 0;  // cylinders actually handed to GLU
};

// Starts recording into log, or stops with nullptr. The log must outlive the recording.
void WatchTreeDrawing(TreeDrawingLog* log);

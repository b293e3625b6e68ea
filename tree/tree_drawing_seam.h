// Test-only view into tree drawing: which nodes a draw reaches and how many cylinders it issues, and the
// way cylinders reach the GL. The program never installs a log and always draws from the exact arrays.
#pragma once

#include <vector>

struct TreeDrawingLog {
    std::vector<int> nodes;  // nodes drawn, in drawing order; the root is node 0
    long long segments = 0;  // cylinders actually handed to the GL
};

// Starts recording into log, or stops with nullptr. The log must outlive the recording.
void WatchTreeDrawing(TreeDrawingLog* log);

// true: every segment through gluCylinder and the shared quadric, the reference the arrays must match
// value for value and pixel for pixel; false (the default): from the cached arrays.
void UseQuadricCylinders(bool useQuadric);

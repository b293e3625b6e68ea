// Numbers as the tool's files write them, whatever the user's locale: the application object switches
// the C library to it, and a decimal comma would break every CSV and JSON reader.
#pragma once

#include <string>

// The shortest text that reads back as exactly the same double; "null" for a value JSON cannot hold.
std::string ExactNumber(double value);

// A fixed number of decimals, always with a point.
std::string FixedNumber(double value, int decimals);

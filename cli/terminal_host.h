// The command-line program's side of the engine's host: the progress monitor on standard error,
// error messages (the millisecond tick is terminal_tick_count.cpp).
#pragma once

#include <string>

// Shows the monitor line on standard error while the shape iteration runs.
void enableMonitor();

// Added to the "Invalid data type" message: why the data file could not be read, or "".
void setDataFileProblem(const std::string& reason);

// The failure message of a run as the host showed it; all empty when the run succeeded.
struct RunFailure {
    std::string caption;
    std::string text;
    std::string reason; // why the data file could not be read, for "Invalid data type"
};

const RunFailure& runFailure();

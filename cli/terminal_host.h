// The command-line program's side of the engine's host: the progress monitor on standard error,
// error messages, and the millisecond tick.
#pragma once

#include <string>

// Shows the monitor line on standard error while the shape iteration runs.
void enableMonitor();

// Added to the "Invalid data type" message: why the data file could not be read, or "".
void setDataFileProblem(const std::string& reason);

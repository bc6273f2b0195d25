// The engine's host inside the Python extension: there is no window and no terminal, so field
// texts are dropped and the failure message of a run is kept for the exception that reports it.
#pragma once

#include <string>

struct RunFailure {
    std::string caption; // empty when the run succeeded
    std::string text;
};

// Forgets the failure of the last run; called before each run, under the classic run's lock.
void clearRunFailure();

// The failure message of the last run, if any.
const RunFailure& lastRunFailure();

// The results of a run as one JSON object for scripts (`varnel --json`), read from the estimation
// state after the run, on success and on failure alike.
#pragma once

#include <string>

#include "json_text.h"
#include "terminal_host.h"

// What ended the shape iteration early, if anything.
enum class StopCause { none, interrupt, timeLimit };

// The JSON document of the last run, ended by LF; `failure` is the message of a failed run.
std::string runJson(StopCause stop, const RunFailure& failure);

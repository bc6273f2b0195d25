// The results of a run as one JSON object for scripts (`varnel --json`), read from the estimation
// state after the run, on success and on failure alike.
#pragma once

#include <string>

#include "json_text.h"
#include "terminal_host.h"

// Who asked for the stop that ended the shape iteration, if one did.
enum class StopCause { none, interrupt, timeLimit };

// The JSON document of the last run, ended by LF; `failure` is the message of a failed run. Whether
// the iteration was stopped comes from the run's own record of its ending; `stop` only names who
// stopped it.
std::string runJson(StopCause stop, const RunFailure& failure);

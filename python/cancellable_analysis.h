// An analysis run for Python without the interpreter lock, cancelled by Ctrl-C.
#pragma once

#include <functional>
#include <string>

#include "analysis_cancellation.h"

// Runs `analyse` with a cancel flag on a worker thread (see runWatched) and returns its text. A
// signal sets the flag and its exception (KeyboardInterrupt, say) is raised here, before the
// analysis's own AnalysisCancelled, which only follows from it.
std::string runCancellableAnalysis(const std::function<std::string(lifedata::CancelFlag)>& analyse);

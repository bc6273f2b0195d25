// Stopping a running analysis from another thread (a Python caller's Ctrl-C, say). The caller owns
// the flag and sets it; the analysis looks at it between its stages and gives up by throwing
// AnalysisCancelled. Nothing is global, so one caller's flag never stops another's analysis.
#pragma once

#include <atomic>
#include <exception>

namespace lifedata {

// Null: the analysis cannot be cancelled.
using CancelFlag = const std::atomic<bool>*;

struct AnalysisCancelled : std::exception {
    const char* what() const noexcept override { return "the analysis was cancelled"; }
};

inline bool isCancelled(CancelFlag cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

// Called on the analysis's own thread only, never on a helper thread: the exception must reach the caller.
inline void stopIfCancelled(CancelFlag cancel)
{
    if (isCancelled(cancel))
        throw AnalysisCancelled();
}

} // namespace lifedata

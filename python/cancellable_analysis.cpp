// The cancellation of an analysis from Python: the watch checks Python's signals every 20 ms with
// the lock held and turns the first into the analysis's cancel flag.
#include "cancellable_analysis.h"

#include <atomic>
#include <exception>
#include <optional>

#include <pybind11/pybind11.h>

#include "watched_run.h"

namespace py = pybind11;

std::string runCancellableAnalysis(const std::function<std::string(lifedata::CancelFlag)>& analyse)
{
    std::atomic<bool> cancel{false};
    std::string document;
    // What a signal handler raised (KeyboardInterrupt, say); it cancels the analysis.
    std::optional<py::error_already_set> pending;
    std::exception_ptr failure;
    {
        py::gil_scoped_release release;
        try {
            runWatched([&] { document = analyse(&cancel); },
                       [&] {
                           if (PyErr_CheckSignals() == 0)
                               return;
                           if (!pending)
                               pending.emplace();
                           else
                               PyErr_Clear();
                           cancel.store(true);
                       });
        } catch (...) {
            failure = std::current_exception();
        }
    }
    // The exception of the signal comes first: the analysis's own (AnalysisCancelled) only follows from it.
    if (pending)
        throw *pending;
    if (failure)
        std::rethrow_exception(failure);
    return document;
}

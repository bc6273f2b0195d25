// A worker thread for the work and the calling thread watching for signals (see watched_run.h).
#include "watched_run.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include <pybind11/pybind11.h>

namespace py = pybind11;

namespace {

// How often the waiting thread looks for Ctrl-C: quick enough for a person, rare enough to cost nothing.
constexpr std::chrono::milliseconds signalPoll{20};

} // namespace

void runWatched(const std::function<void()>& work, const std::function<void()>& watch)
{
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(doneMutex);
        done = true;
        doneSignal.notify_one();
    });
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(doneMutex);
            if (doneSignal.wait_for(lock, signalPoll, [&] { return done; }))
                break;
        }
        py::gil_scoped_acquire acquire;
        watch();
    }
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

void runCancellable(const std::function<void(const std::atomic<bool>& cancel)>& work)
{
    std::atomic<bool> cancel{false};
    // What a signal handler raised (KeyboardInterrupt, say); it cancels the work.
    std::optional<py::error_already_set> pending;
    std::exception_ptr failure;
    {
        py::gil_scoped_release release;
        try {
            runWatched([&] { work(cancel); },
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
    // The exception of the signal comes first: the work's own (AnalysisCancelled) only follows from it.
    if (pending)
        throw *pending;
    if (failure)
        std::rethrow_exception(failure);
}

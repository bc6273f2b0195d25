// The classic estimation for Python. The engine keeps one static record, so runs are serialised by
// a lock. Each run computes on a worker thread while the calling thread, without the interpreter
// lock, waits for it: that thread alone can see Ctrl-C (signals are handled on Python's main thread
// only while it runs), and it also watches the time limit. Either sets the Stop flag, and the run
// ends with the results for the m reached, as the desktop program's Stop button does.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "bindings.h"
#include "estimation_run.h"
#include "estimation_state.h"
#include "extension_host.h"
#include "plotting_position.h"
#include "shape_newton.h"
#include "watched_run.h"

namespace py = pybind11;

namespace {

using Values = py::array_t<double, py::array::c_style | py::array::forcecast>;
using Clock = std::chrono::steady_clock;

// The clock counts nanoseconds in 64 bits: a longer limit would overflow the deadline, which would
// then pass at once. About 31 years is longer than any run and still fits.
constexpr double longestTimeLimit = 1e9;

std::mutex classicRun;

enum class StopCause { none, interrupt, timeLimit };

// The state as the command line sets it from its options, with the values as the sample.
void prepareRun(const Values& values, std::optional<double> gamma, int rank, double initialM)
{
    releaseSamples();
    const std::size_t n = static_cast<std::size_t>(values.size());
    state.samples = new double[n == 0 ? 1 : n];
    if (n > 0)
        std::memcpy(state.samples, values.data(), n * sizeof(double));
    state.samplesHeld = 1;
    state.n = static_cast<std::uint32_t>(n);
    state.autoGamma = gamma ? 0 : 1;
    state.gamma = gamma.value_or(0.0);
    state.initialM = initialM;
    state.Fi = rank;
    selectRankFunction();
    state.stopRequested.store(0);
    clearRunFailure();
}

// Runs the estimation to its end; returns what stopped it early. Called without the interpreter
// lock. A Python exception raised by a signal handler other than the first KeyboardInterrupt (a
// second Ctrl-C, say) also stops the run and is left in `pending` for the caller to raise.
StopCause runUntilStopped(std::optional<double> timeLimit, std::optional<py::error_already_set>& pending)
{
    std::optional<Clock::time_point> deadline;
    if (timeLimit) {
        const std::chrono::duration<double> limit(std::min(*timeLimit, longestTimeLimit));
        deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(limit);
    }
    StopCause stop = StopCause::none;
    runWatched(runEstimationOnSamples, [&] {
        if (deadline && stop == StopCause::none && Clock::now() >= *deadline) {
            stop = StopCause::timeLimit;
            state.stopRequested.store(1);
        }
        if (PyErr_CheckSignals() != 0) {
            if (stop == StopCause::none && PyErr_ExceptionMatches(PyExc_KeyboardInterrupt)) {
                PyErr_Clear();
                stop = StopCause::interrupt;
            } else if (!pending) {
                pending.emplace();
            } else {
                PyErr_Clear();
            }
            state.stopRequested.store(1);
        }
    });
    return stop;
}

const char* stopCauseName(StopCause stop) { return stop == StopCause::timeLimit ? "time limit" : "interrupt"; }

py::dict runResult(StopCause stop)
{
    py::dict result;
    result["n"] = state.n;
    if (state.samplesHeld != 1) {
        result["error"] = py::dict(py::arg("caption") = lastRunFailure().caption, py::arg("text") = lastRunFailure().text);
        return result;
    }
    result["m"] = state.m;
    result["t0"] = state.t0;
    result["gamma"] = state.gamma;
    result["mu"] = state.mu;
    result["xi"] = state.xi;
    result["tm"] = state.tm;
    result["sigma2"] = state.sigma2;
    // As the command line's JSON: the run's own record says whether the iteration stopped (a stop
    // asked for just after convergence changes nothing); the cause only names who asked.
    const bool stopped = state.iterationEnding == IterationEnding::stopped;
    result["stopped"] = stopped;
    result["stop_cause"] = stopped ? py::cast(stopCauseName(stop)) : py::none();
    result["ending"] = stopped && stop == StopCause::timeLimit ? "time limit" : iterationEndingName(state.iterationEnding);
    return result;
}

py::dict estimate(const Values& values, std::optional<double> gamma, int rank, double initialM,
                  std::optional<double> timeLimit)
{
    if (values.ndim() != 1)
        throw py::value_error("values must be one-dimensional");
    if (static_cast<std::uint64_t>(values.size()) > std::numeric_limits<std::uint32_t>::max())
        throw py::value_error("more values than the estimation can count (2^32 - 1)");
    if (rank < 1 || rank > 4)
        throw py::value_error("rank method must be 1, 2, 3 or 4");
    if (!(initialM > 0) || !std::isfinite(initialM))
        throw py::value_error("initial m must be greater than 0");

    std::optional<py::error_already_set> pending;
    StopCause stop;
    py::dict result;
    {
        py::gil_scoped_release release;
        std::lock_guard<std::mutex> lock(classicRun);
        prepareRun(values, gamma, rank, initialM);
        stop = runUntilStopped(timeLimit, pending);
        py::gil_scoped_acquire acquire;
        result = runResult(stop);
        releaseSamples();
    }
    if (pending)
        throw *pending;
    return result;
}

} // namespace

void defineClassicEstimate(py::module_& module)
{
    module.def("_estimate", &estimate, py::arg("values"), py::arg("gamma"), py::arg("rank"), py::arg("initial_m"),
               py::arg("time_limit"),
               "The classic estimation on the values; a dict of the results, or of the error of a failed run.");
}

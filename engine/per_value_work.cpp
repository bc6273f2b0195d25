// The per-run arrays and the helper threads that fill them. Only the powers and logarithms are
// spread over threads, each value written to its own place of a buffer; the sums are formed on the
// calling thread, chunk after chunk in index order, so the results do not depend on the number of
// threads or on which thread computed which value.
#include "per_value_work.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "chunked_work.h"
#include "estimation_state.h"
#include "plotting_position.h"

PerValueSettings perValueSettings;

namespace {

enum class Job { powers, logs, ordinates };

// One pass of per-value work: out[i] for every index of the sample.
struct Pass {
    Job job;
    double parameter; // m for powers, the trial location for logs
    double* out;

    void operator()(std::uint32_t, std::uint32_t begin, std::uint32_t end) const
    {
        const double* samples = state.samples;
        switch (job) {
        case Job::powers:
            for (std::uint32_t i = begin; i < end; ++i)
                out[i] = std::pow(samples[i] - state.gamma, parameter);
            break;
        case Job::logs:
            for (std::uint32_t i = begin; i < end; ++i)
                out[i] = std::log(samples[i] - parameter);
            break;
        case Job::ordinates:
            for (std::uint32_t i = begin; i < end; ++i)
                out[i] = weibullOrdinate(i + 1);
            break;
        }
    }
};

// The run's helper threads; absent outside a run.
std::unique_ptr<ChunkedWork> work;

void runPass(const Pass& pass) { work->run(state.n, pass); }

// An array of n doubles owned by the run, with the state it was computed for.
struct PerRunArray {
    double* values = nullptr;
    std::uint32_t size = 0;
    bool filled = false;

    // The array for the current `n`, allocated on first use; null when it cannot be had.
    double* get()
    {
        if (values && size != state.n)
            release();
        if (!values) {
            values = new (std::nothrow) double[state.n];
            size = values ? state.n : 0;
        }
        return values;
    }
    void release()
    {
        delete[] values;
        values = nullptr;
        size = 0;
        filled = false;
    }
};

struct PerRun {
    bool started = false;

    // ln(samples[i] - gamma) and their sum, for the sample and location they were made from.
    PerRunArray logs;
    double logSum = 0;
    const double* logsSamples = nullptr;
    double logsGamma = 0;

    // The plot ordinates for the rank function and count they were made from.
    PerRunArray ordinates;
    RankFunction ordinatesFunction = nullptr;

    // One value per observation for the pass under way.
    PerRunArray buffer;

    // The power sums of the last m, for the logs they were made with.
    bool sumsKnown = false;
    double sumsM = 0;
    PowerSums sums{};
};

PerRun perRun;

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

const double* currentLogs()
{
    PerRunArray& logs = perRun.logs;
    if (logs.filled && logs.size == state.n && perRun.logsSamples == state.samples &&
        sameBits(perRun.logsGamma, state.gamma))
        return logs.values;

    double* values = logs.get();
    if (!values)
        return nullptr;
    runPass({Job::logs, state.gamma, values});
    double L = 0;
    for (std::uint32_t i = 0; i < state.n; ++i)
        L += values[i];
    logs.filled = true;
    perRun.logSum = L;
    perRun.logsSamples = state.samples;
    perRun.logsGamma = state.gamma;
    perRun.sumsKnown = false;
    return values;
}

const double* currentOrdinates()
{
    PerRunArray& ordinates = perRun.ordinates;
    if (ordinates.filled && ordinates.size == state.n && perRun.ordinatesFunction == state.rankFunction)
        return ordinates.values;

    double* values = ordinates.get();
    if (!values)
        return nullptr;
    runPass({Job::ordinates, 0, values});
    ordinates.filled = true;
    perRun.ordinatesFunction = state.rankFunction;
    return values;
}

} // namespace

void startPerValueWork()
{
    stopPerValueWork();
    if (!perValueSettings.enabled)
        return;
    perRun.started = true;

    const unsigned threads = perValueSettings.threads != 0 ? perValueSettings.threads
                                                           : std::thread::hardware_concurrency();
    const bool shared = state.n >= perValueSettings.threadThreshold && threads > 1;
    work = std::make_unique<ChunkedWork>(shared ? threads - 1 : 0);
}

void stopPerValueWork()
{
    if (!perRun.started)
        return;
    work.reset();
    perRun.logs.release();
    perRun.ordinates.release();
    perRun.buffer.release();
    perRun = PerRun{};
}

bool sumPowers(double m, PowerSums& sums)
{
    if (!perRun.started)
        return false;
    const double* lnX = currentLogs();
    if (!lnX)
        return false;
    if (perRun.sumsKnown && sameBits(perRun.sumsM, m)) {
        sums = perRun.sums;
        return true;
    }
    double* xm = perRun.buffer.get();
    if (!xm)
        return false;

    // Each chunk is added as soon as it is ready (with no helpers: right after it is computed, while
    // it is still in the cache), always in index order on this thread.
    double S0 = 0, S1 = 0, S2 = 0;
    auto add = [&](std::uint32_t, std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t i = begin; i < end; ++i) {
            S0 += xm[i];
            S1 += xm[i] * lnX[i];
            S2 += xm[i] * lnX[i] * lnX[i];
        }
    };
    work->run(state.n, Pass{Job::powers, m, xm}, add);
    perRun.sums = {S0, S1, S2, perRun.logSum};
    perRun.sumsM = m;
    perRun.sumsKnown = true;
    sums = perRun.sums;
    return true;
}

PlotArrays weibullPlotArrays(double g)
{
    if (!perRun.started)
        return {nullptr, nullptr};
    const double* y = currentOrdinates();
    double* x = perRun.buffer.get();
    if (!y || !x)
        return {nullptr, nullptr};
    runPass({Job::logs, g, x});
    return {x, y};
}

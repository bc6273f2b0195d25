// The per-run arrays and the helper threads that fill them. Only the powers and logarithms are
// spread over threads, each value written to its own place of a buffer; the sums are formed on the
// calling thread, chunk after chunk in index order, so the results do not depend on the number of
// threads or on which thread computed which value.
#include "per_value_work.h"

#include <atomic>
#include <cfenv>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "estimation_state.h"
#include "plotting_position.h"

PerValueSettings perValueSettings;

namespace {

// Values per claim: large enough that claiming costs nothing, small enough to share out evenly.
constexpr std::uint32_t chunkSize = 2048;

enum class Job { powers, logs, ordinates };

// One pass of per-value work: out[i] for i in [0, count).
struct Pass {
    Job job;
    double parameter; // m for powers, the trial location for logs
    double* out;
    std::uint32_t count;
    std::atomic<std::uint32_t>* ready; // per chunk, the generation of the pass that last filled it
};

std::uint32_t chunkCount(std::uint32_t count) { return count / chunkSize + (count % chunkSize != 0); }
std::uint32_t chunkBegin(std::uint32_t chunk) { return chunk * chunkSize; }
std::uint32_t chunkEnd(std::uint32_t count, std::uint32_t chunk)
{
    return count - chunkBegin(chunk) < chunkSize ? count : chunkBegin(chunk) + chunkSize;
}

void computeChunk(const Pass& pass, std::uint32_t chunk)
{
    const std::uint32_t begin = chunkBegin(chunk);
    const std::uint32_t end = chunkEnd(pass.count, chunk);
    const double* samples = state.samples;
    switch (pass.job) {
    case Job::powers:
        for (std::uint32_t i = begin; i < end; ++i)
            pass.out[i] = std::pow(samples[i] - state.gamma, pass.parameter);
        break;
    case Job::logs:
        for (std::uint32_t i = begin; i < end; ++i)
            pass.out[i] = std::log(samples[i] - pass.parameter);
        break;
    case Job::ordinates:
        for (std::uint32_t i = begin; i < end; ++i)
            pass.out[i] = weibullOrdinate(i + 1);
        break;
    }
}

// Helper threads started once per run. A pass is published under the mutex with a new generation;
// chunks are claimed through one 64-bit counter holding the generation above the chunk index, so a
// helper that wakes late can never claim a chunk of a later pass with the parameters of an earlier one.
// A finished chunk is marked with the pass's generation, which lets the calling thread add up the
// chunks in index order while later ones are still being computed.
struct Helpers {
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable wake;
    bool quitting = false;
    std::uint32_t generation = 0;
    Pass pass{};
    std::atomic<std::uint64_t> claims{0};
    std::vector<std::atomic<std::uint32_t>> ready;
    std::fenv_t environment;
};

Helpers helpers;

// Claims the next chunk of pass `generation`; false when it has none left or a new pass began.
bool claimChunk(std::uint32_t generation, std::uint32_t chunks, std::uint32_t& chunk)
{
    std::uint64_t claim = helpers.claims.load();
    for (;;) {
        if (static_cast<std::uint32_t>(claim >> 32) != generation)
            return false;
        chunk = static_cast<std::uint32_t>(claim);
        if (chunk >= chunks)
            return false;
        if (helpers.claims.compare_exchange_weak(claim, claim + 1))
            return true;
    }
}

// Computes one claimed chunk and marks it finished.
bool computeNextChunk(const Pass& pass, std::uint32_t generation)
{
    std::uint32_t chunk = 0;
    if (!claimChunk(generation, chunkCount(pass.count), chunk))
        return false;
    computeChunk(pass, chunk);
    pass.ready[chunk].store(generation, std::memory_order_release);
    return true;
}

void helperLoop()
{
    // The same rounding and precision as the run's thread, whatever a new thread starts with.
    std::fesetenv(&helpers.environment);
    std::uint32_t seen = 0;
    for (;;) {
        Pass pass;
        std::uint32_t generation;
        {
            std::unique_lock<std::mutex> lock(helpers.mutex);
            helpers.wake.wait(lock, [&] { return helpers.quitting || helpers.generation != seen; });
            if (helpers.quitting)
                return;
            pass = helpers.pass;
            generation = seen = helpers.generation;
        }
        while (computeNextChunk(pass, generation)) {
        }
    }
}

void startHelpers(unsigned count)
{
    std::fegetenv(&helpers.environment);
    helpers.quitting = false;
    helpers.generation = 0;
    helpers.claims.store(0);
    for (unsigned t = 0; t < count; ++t) {
        try {
            helpers.threads.emplace_back(helperLoop);
        } catch (const std::system_error&) {
            break; // fewer helpers: the same results, only slower
        }
    }
}

void stopHelpers()
{
    {
        std::lock_guard<std::mutex> lock(helpers.mutex);
        helpers.quitting = true;
    }
    helpers.wake.notify_all();
    for (std::thread& thread : helpers.threads)
        thread.join();
    helpers.threads.clear();
    helpers.ready = std::vector<std::atomic<std::uint32_t>>();
}

// Hands `pass` to the helpers and returns its generation. Every chunk of the previous pass is
// finished by then, so the marks can be replaced when the pass has more chunks than there are marks.
std::uint32_t publishPass(Pass pass)
{
    const std::uint32_t chunks = chunkCount(pass.count);
    std::uint32_t generation;
    {
        std::lock_guard<std::mutex> lock(helpers.mutex);
        if (helpers.ready.size() < chunks)
            helpers.ready = std::vector<std::atomic<std::uint32_t>>(chunks);
        pass.ready = helpers.ready.data();
        generation = ++helpers.generation;
        helpers.pass = pass;
        helpers.claims.store(static_cast<std::uint64_t>(generation) << 32);
    }
    helpers.wake.notify_all();
    return generation;
}

// Waits until chunk `chunk` of pass `generation` is finished, computing other chunks meanwhile.
void awaitChunk(std::uint32_t generation, std::uint32_t chunk)
{
    const Pass& pass = helpers.pass;
    while (helpers.ready[chunk].load(std::memory_order_acquire) != generation) {
        if (!computeNextChunk(pass, generation))
            std::this_thread::yield();
    }
}

// Runs one pass, on the helpers and this thread together when there are helpers.
void runPass(const Pass& pass)
{
    const std::uint32_t chunks = chunkCount(pass.count);
    if (helpers.threads.empty()) {
        for (std::uint32_t chunk = 0; chunk < chunks; ++chunk)
            computeChunk(pass, chunk);
        return;
    }
    const std::uint32_t generation = publishPass(pass);
    for (std::uint32_t chunk = 0; chunk < chunks; ++chunk)
        awaitChunk(generation, chunk);
}

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
    runPass({Job::logs, state.gamma, values, state.n, nullptr});
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
    runPass({Job::ordinates, 0, values, state.n, nullptr});
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
    if (state.n >= perValueSettings.threadThreshold && threads > 1)
        startHelpers(threads - 1);
}

void stopPerValueWork()
{
    if (!perRun.started)
        return;
    stopHelpers();
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
    const Pass pass{Job::powers, m, xm, state.n, nullptr};
    const std::uint32_t chunks = chunkCount(state.n);
    const bool shared = !helpers.threads.empty();
    const std::uint32_t generation = shared ? publishPass(pass) : 0;
    double S0 = 0, S1 = 0, S2 = 0;
    for (std::uint32_t chunk = 0; chunk < chunks; ++chunk) {
        if (shared)
            awaitChunk(generation, chunk);
        else
            computeChunk(pass, chunk);
        for (std::uint32_t i = chunkBegin(chunk); i < chunkEnd(state.n, chunk); ++i) {
            S0 += xm[i];
            S1 += xm[i] * lnX[i];
            S2 += xm[i] * lnX[i] * lnX[i];
        }
    }
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
    runPass({Job::logs, g, x, state.n, nullptr});
    return {x, y};
}

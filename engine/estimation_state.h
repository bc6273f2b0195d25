// The one record of inputs, sample and results shared by every part of the program.
// There is exactly one instance, `state`, zero-filled at start-up; everything reads and writes
// its fields directly.
#pragma once

#include <atomic>
#include <cstdint>

using RankFunction = double (*)(std::uint32_t i);

struct EstimationState {
    char RFile[512];
    char reportFile[512];
    char helpFile[260];
    std::int32_t Fi;
    RankFunction rankFunction;
    std::int32_t autoGamma;
    double gamma;
    double initialM;
    std::uint32_t n;
    double* samples;
    std::int32_t samplesHeld;
    double m;
    double t0;
    double mu;
    double xi;
    double tm;
    double sigma2;
    // Set by the user-interface thread (Stop) or a signal handler while the worker polls it.
    std::atomic<std::int32_t> stopRequested;
};

static_assert(std::atomic<std::int32_t>::is_always_lock_free,
              "stopRequested must be safe to set from a signal handler");

extern EstimationState state;

// Frees the sample array when one is held and clears `samplesHeld`; does nothing otherwise.
void releaseSamples();

// The one record of inputs, sample and results shared by every part of the program.
// There is exactly one instance, `state`, zero-filled at start-up; everything reads and writes
// its fields directly.
#pragma once

#include <atomic>
#include <cstdint>

using RankFunction = double (*)(std::uint32_t i);

// How the last shape iteration ended: by itself at the root, by Stop, beyond the divergence bound,
// on a damped step that could only repeat itself, or on an equation value that is not a number
// (the powers of the sample no longer finite). `none` before any iteration of the run.
enum class IterationEnding : std::int32_t { none, converged, stopped, diverged, stepRepeating, notFinite };

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
    // Set by the iteration itself, so that a Stop arriving after it has ended is not taken for one.
    IterationEnding iterationEnding;
    // Set by the user-interface thread (Stop) or a signal handler while the worker polls it.
    std::atomic<std::int32_t> stopRequested;
};

static_assert(std::atomic<std::int32_t>::is_always_lock_free,
              "stopRequested must be safe to set from a signal handler");

extern EstimationState state;

// Frees the sample array when one is held and clears `samplesHeld`; does nothing otherwise.
void releaseSamples();

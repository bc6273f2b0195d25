// The per-value work of a run done fast, with results identical to the bit: what does not change
// within a run is computed once (ln x_i, the plot ordinates), the powers and logarithms of each pass
// are spread over the hardware threads into one buffer, and every sum is still added up in index
// order on the calling thread. Outside a run (or when an array cannot be had) the procedures use
// their straightforward loops, which give the same doubles.
#pragma once

#include <cstdint>

// How the run does its per-value work. The run uses the defaults; tests and benchmarks change them.
struct PerValueSettings {
    bool enabled = true;                    // false: every pass is the straightforward loop
    std::uint32_t threadThreshold = 8192;   // smaller samples get no helper threads at all
    unsigned threads = 0;                   // threads, the caller's included; 0: one per hardware thread
};
extern PerValueSettings perValueSettings;

// Called by the run once the sample is sorted: starts the helper threads for a large sample.
// Until stopPerValueWork the contents of `state.samples` must not change; `gamma`, `n`, the array
// and `rankFunction` may (the per-run arrays follow them).
void startPerValueWork();

// Stops the helper threads and releases the per-run arrays; does nothing when not started.
void stopPerValueWork();

// The sums over the sample of x_i^m, x_i^m ln x_i, x_i^m (ln x_i)^2 and ln x_i, x_i = samples[i] - gamma,
// each added in index order: the same doubles as the straightforward loops.
struct PowerSums {
    double S0;
    double S1;
    double S2;
    double L;
};

// Fills `sums` for shape m and returns true, or returns false when no per-run work is under way
// (the caller then runs its own loop). The sums of the last m are remembered, so the slope at the
// m just evaluated and the scale at the final m cost nothing.
bool sumPowers(double m, PowerSums& sums);

// The Weibull plot of trial location g: x_i = ln(samples[i] - g) and the ordinates y_i, index i for
// rank i + 1. Both pointers are null when no per-run work is under way. `x` stays valid until the
// next call of any function of this file.
struct PlotArrays {
    const double* x;
    const double* y;
};
PlotArrays weibullPlotArrays(double g);

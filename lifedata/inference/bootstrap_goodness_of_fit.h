// The p-value of the Anderson-Darling statistic by parametric bootstrap: samples of the same size
// drawn from the fitted model, each refitted with the same model and measured against its refit.
#pragma once

#include <cstdint>

#include "analysis_cancellation.h"
#include "fisher_bounds.h"

namespace lifedata {

struct BootstrapRequest {
    WeibullEstimate fitted;
    bool threeParameter;    // refit three parameters; else two at the fitted gamma
    std::uint64_t units;    // the sample size
    double statistic;       // A^2 of the data
    unsigned samples;       // B
    std::uint64_t seed;
    unsigned threads;       // 0: one per hardware thread; never changes the result
    CancelFlag cancel = nullptr;
};

struct BootstrapResult {
    double pValue;             // (1 + #{A_b >= A}) / (used + 1); NaN when no refit was used
    unsigned used;             // samples whose refit had an interior maximum
    unsigned failedRefits;     // samples left out: their refit had none
};

// Sample b is drawn sorted from its own streams (seed, b and each chunk of its units), so the result
// is the same for every number of threads, and a sample of millions costs no sort and no records.
// Throws AnalysisCancelled when request.cancel is set before the last refit has started.
BootstrapResult bootstrapAndersonDarling(const BootstrapRequest& request);

} // namespace lifedata

// Likelihood-ratio confidence bounds: the values q0 of a quantity with
// 2 (lmax - max{l : q = q0}) <= the chi-square (1 degree of freedom) quantile of the confidence.
#pragma once

#include "confidence_interval.h"
#include "constrained_profile.h"
#include "fisher_bounds.h"

namespace lifedata {

struct LikelihoodRatioSetup {
    const PreparedData* data;
    ChunkedWork* work;               // the helper threads of the data's sums
    LikelihoodEvaluator* likelihood; // of the data, with those threads
    bool threeParameter;
    WeibullEstimate estimate;     // the maximum; its gamma is the fixed one with two parameters
    double logLikelihood;         // lmax
    double critical;              // the chi-square quantile
    double smallestFailure;       // x1
    // The Fisher covariance, when there is one, only guesses the first step of each side.
    const ParameterCovariance* covariance;
    double z;
};

// The interval of one quantity; `argument` is the percent of a B-life or the time of a reliability.
// A side that never closes is NaN with "unbounded" beside it; with three parameters the upper side of
// gamma that does not close before the smallest failure is x1 with "cut at the smallest failure".
// A reliability at or below gamma has no bounds (NaN sides, no words).
ConfidenceInterval likelihoodRatioBounds(const LikelihoodRatioSetup& setup, HeldQuantity quantity, double argument);

} // namespace lifedata

// Likelihood-ratio bounds of any fitted distribution's quantities: where the profile of the
// quantity's coordinate falls half the chi-square (1 degree of freedom) quantile below the maximum.
#pragma once

#include "confidence_interval.h"
#include "distribution_profile.h"
#include "fisher_bounds.h"

namespace lifedata {

struct DistributionRatioSetup {
    QuantityContext context;
    DistributionLikelihood* likelihood;
    const double* estimate;                 // p at the maximum
    double logLikelihood;                   // there
    double critical;                        // the chi-square quantile of the confidence
    double z;                               // the normal quantile, for the first step of a side
    const ParameterCovariance* covariance;  // may be null: it only guesses the first step
};

// A side that never closes is "unbounded" (a reliability's is 0 or 1; a free location's upper side
// is x1, "cut at the smallest failure"); one the search cannot establish is "not found". NaN sides
// without words where the quantity has no bounds.
ConfidenceInterval distributionRatioBounds(const DistributionRatioSetup& setup, const DistributionQuantity& quantity);

} // namespace lifedata

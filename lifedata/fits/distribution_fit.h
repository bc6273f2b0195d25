// The maximum-likelihood fit of any distribution to prepared life data: Newton's method in the fit
// coordinates p with a safeguarded step, from a regression on the family's probability plot. A
// family with a free location searches it as the three-parameter Weibull does (the highest interior
// maximum of the profile below the smallest failure); the exponential's location may lie at the
// smallest failure itself.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "distribution.h"
#include "weibull_fit.h"
#include "weibull_likelihood.h"

namespace lifedata {

struct DistributionFit {
    std::string name;                      // the distribution's
    FitStatus status = FitStatus::notFitted;
    std::string statusText = fitStatusText(FitStatus::notFitted);
    std::vector<double> parameters;        // as reported, in the distribution's order; NaN without an estimate
    std::vector<double> p;                 // the same in the fit coordinates
    double logLikelihood = std::numeric_limits<double>::quiet_NaN();
    // The log-likelihood's Hessian in p at the estimate, over every parameter (the location included).
    double hessian[maximumDistributionParameters][maximumDistributionParameters] = {};
    // True where the location is the smallest failure itself (exponential2): a boundary estimate, with
    // no bounds of its own; the other parameters' bounds are then those at that location.
    bool locationOnBoundary = false;
    double units = 0;                      // n, counts included
    std::size_t estimatedParameters = 0;   // k
    int iterations = 0;
    std::vector<ProfilePoint> profile;     // the profile in the location, where one was searched
};

// Never throws for data that cannot give an estimate: the fit then carries the status.
DistributionFit fitDistribution(const Distribution& distribution, const PreparedData& data,
                                const FitSettings& settings);

} // namespace lifedata

// Fits with the shape m known from earlier data: only the scale eta is estimated. Failures and
// suspensions give eta in closed form from S = sum c (t - gamma)^m over every unit and r failures,
// eta = (S / r)^(1/m), which stays defined as a bound with no failure at all (Weibayes); intervals
// need the likelihood, maximised in eta alone.
#pragma once

#include "weibull_fit.h"

namespace lifedata {

struct KnownShapeFit {
    WeibullFit fit;          // m is the known shape; status ok, zeroFailures or noFiniteMaximum
    bool closedForm = true;  // failures and suspensions only: S and r below hold
    double failures = 0;     // r, counts included
    // S = reference^m * scaledSum, so that a large time to a large power does not overflow.
    double reference = 1;    // the largest t - gamma
    double scaledSum = 0;    // sum c ((t - gamma) / reference)^m
};

// eta = reference * (scaledSum / divisor)^(1/m): the estimate for divisor r, a chi-square bound for
// divisor chi2 / 2.
double knownShapeScale(const KnownShapeFit& fit, double divisor);

// Fits eta with m = `shape` (> 0) at location `gamma`. Throws DataError where gamma is not below the
// smallest failure, or where no unit's time exceeds gamma (there is nothing to measure eta by).
KnownShapeFit fitKnownShape(const PreparedData& data, double shape, double gamma, const FitSettings& settings);

} // namespace lifedata

// The standard normal quantile: the z of two-sided confidence bounds.
#pragma once

namespace lifedata {

// The x with Phi(x) = p for 0 < p < 1, to double precision; -inf at 0, +inf at 1, NaN outside.
double normalQuantile(double p);

// Phi(x), the standard normal distribution function, accurate in both tails.
double normalDistribution(double x);

} // namespace lifedata

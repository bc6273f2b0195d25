// The chi-square distribution with any positive number of degrees of freedom (fractional ones too,
// and beyond 2^31): its tails, and its quantiles as the inverse of the regularized incomplete gamma
// function. Degrees of freedom come from counts of failures, so they are doubles.
#pragma once

namespace lifedata {

// The x with P(X <= x) = p, for 0 < p < 1, to about 1e-13 relative; 0 at p = 0, +infinity at 1,
// NaN for p outside [0, 1] or k not above 0.
double chiSquareQuantile(double p, double k);

// The x with P(X > x) = q: the same as chiSquareQuantile(1 - q, k), but exact for a small q whose
// complement would round away its digits (a confidence's 1 - C, say).
double chiSquareUpperQuantile(double q, double k);

// P(X > x), the p-value of a statistic x: 1 for x <= 0, NaN for NaN.
double chiSquarePValue(double x, double k);

} // namespace lifedata

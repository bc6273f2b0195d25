// The chi-square distribution with one degree of freedom: the critical value of likelihood-ratio
// bounds and the p-value of a likelihood-ratio test between nested fits.
#pragma once

namespace lifedata {

// The quantile of probability C (0 < C < 1): z^2 with z the normal quantile of (1 + C) / 2.
double chiSquareOneDfQuantile(double C);

// P(X >= x) for x >= 0; 1 for x <= 0, NaN for NaN.
double chiSquareOneDfPValue(double x);

} // namespace lifedata

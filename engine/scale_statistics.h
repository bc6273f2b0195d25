// The scale parameter `t0` and the derived statistics of the fitted distribution.
#pragma once

double scaleParameter(double m);

// Sets `state.mu`, `state.sigma2`, `state.xi` and `state.tm` from `m`, `t0` and `gamma`.
void computeStatistics();

// The gamma function by Stirling's series after an upward shift; the indefinite NaN where the shift
// cannot end (minus infinity, or an argument too large for adding 1 to change it).
double gammaFunction(double x);

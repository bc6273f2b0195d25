// The grid on which a location's profile likelihood is scanned for its highest interior maximum, and
// what is said where there is none: shared by the Weibull's three-parameter fit and every other
// family with a location.
#pragma once

#include <vector>

#include "weibull_fit.h"

namespace lifedata {

// The grid in d = x1 - gamma, as multiples of the data's spread: 10^-6 to 10^4 in steps of a
// quarter decade, so that a maximum close to x1 and one far below zero are both seen.
constexpr int gridPoints = 41;

struct GridPoint {
    double gamma;
    double logLikelihood; // NaN where the profile could not be evaluated
};

// Grid point i, ascending in gamma: i = 0 is the farthest below x1.
double gridGamma(double x1, double spread, int i);

// The index of the highest interior local maximum of the profile on the grid, or -1.
int highestInteriorMaximum(const std::vector<GridPoint>& grid);

// Why a profile with no interior maximum has no estimate. Where some locations have no maximum of
// the other parameters (data of intervals from 0 alone has none anywhere), nothing is said about how
// the profile runs: an unknown value could hide a maximum or a rise.
WeibullFit withoutMaximum(const std::vector<GridPoint>& points);

} // namespace lifedata

// The location grid and the reading of a profile on it.
#include "location_grid.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace lifedata {

namespace {

constexpr double smallestDecade = -6;
constexpr double decadeStep = 0.25;

} // namespace

double gridGamma(double x1, double spread, int i)
{
    return x1 - spread * std::pow(10.0, smallestDecade + decadeStep * (gridPoints - 1 - i));
}

int highestInteriorMaximum(const std::vector<GridPoint>& grid)
{
    int best = -1;
    for (std::size_t k = 1; k + 1 < grid.size(); ++k) {
        const double l = grid[k].logLikelihood;
        if (l > grid[k - 1].logLikelihood && l >= grid[k + 1].logLikelihood &&
            (best < 0 || l > grid[static_cast<std::size_t>(best)].logLikelihood))
            best = static_cast<int>(k);
    }
    return best;
}

WeibullFit withoutMaximum(const std::vector<GridPoint>& points)
{
    const auto missing = std::count_if(points.begin(), points.end(),
                                       [](const GridPoint& p) { return !std::isfinite(p.logLikelihood); });
    if (missing > 0) {
        WeibullFit fit = withStatus(FitStatus::profileNotEvaluated);
        fit.statusText = "no estimate: the profile likelihood could not be evaluated at " + std::to_string(missing) +
                         " of " + std::to_string(points.size()) + " locations (no two-parameter maximum there)";
        return fit;
    }
    // Still rising at the far end of the grid: as gamma decreases without limit.
    const bool risesDownward = points[0].logLikelihood > points[1].logLikelihood;
    return withStatus(risesDownward ? FitStatus::noFiniteMaximum : FitStatus::noInteriorMaximum);
}

} // namespace lifedata

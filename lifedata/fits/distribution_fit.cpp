// The general fit. Without a location: Newton from the plot's line. With one: the profile over the
// location grid, each point's other parameters held by Newton from its neighbour's solution, then
// Newton in every parameter from the highest interior maximum, kept between its grid neighbours so
// that it cannot slide toward x1, where the likelihood of most families grows without bound. The
// exponential's likelihood stays bounded at x1, and its maximum may lie there.
#include "distribution_fit.h"

#include <algorithm>
#include <cmath>

#include "location_grid.h"
#include "newton_ascent.h"
#include "probability_plot_points.h"

namespace lifedata {

namespace {

DistributionFit withStatus(const Distribution& distribution, const PreparedData& data, FitStatus status)
{
    DistributionFit fit;
    fit.name = distribution.name();
    fit.status = status;
    fit.statusText = fitStatusText(status);
    fit.parameters.assign(distribution.parameterCount(), std::numeric_limits<double>::quiet_NaN());
    fit.p = fit.parameters;
    fit.units = unitCount(data);
    fit.estimatedParameters = distribution.parameterCount();
    return fit;
}

DistributionFit estimate(const Distribution& distribution, const PreparedData& data, const Ascent& ascent,
                         FitStatus status)
{
    if (!ascent.converged)
        return withStatus(distribution, data, FitStatus::notConverged);
    DistributionFit fit = withStatus(distribution, data, status);
    const std::size_t k = distribution.parameterCount();
    fit.p.assign(ascent.p, ascent.p + k);
    distribution.fromCoordinates(ascent.p, fit.parameters.data());
    fit.logLikelihood = ascent.terms.value;
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = 0; j < k; ++j)
            fit.hessian[i][j] = ascent.terms.hessian[i][j];
    fit.iterations = ascent.iterations;
    return fit;
}

// The location grid's profile, each point from its neighbour's solution.
class LocationProfile {
public:
    LocationProfile(const Distribution& distribution, DistributionLikelihood& likelihood,
                    const std::vector<PlotPoint>& points)
        : distribution_(distribution), likelihood_(likelihood), points_(points),
          location_(distribution.locationIndex())
    {
    }

    // The maximum of the other parameters at `gamma`.
    Ascent at(double gamma)
    {
        double start[maximumDistributionParameters] = {};
        if (haveLast_)
            std::copy(last_, last_ + maximumDistributionParameters, start);
        else
            distribution_.startingCoordinates(points_, gamma, start);
        start[location_] = gamma;
        AscentLimits limits;
        limits.held = location_;
        Ascent ascent = ascend(likelihood_, distribution_, start, limits);
        if (!ascent.converged) { // a neighbour's solution too far away: from the plot instead
            distribution_.startingCoordinates(points_, gamma, start);
            ascent = ascend(likelihood_, distribution_, start, limits);
        }
        haveLast_ = ascent.converged;
        if (haveLast_)
            std::copy(ascent.p, ascent.p + maximumDistributionParameters, last_);
        return ascent;
    }

private:
    const Distribution& distribution_;
    DistributionLikelihood& likelihood_;
    const std::vector<PlotPoint>& points_;
    std::size_t location_;
    bool haveLast_ = false;
    double last_[maximumDistributionParameters] = {};
};

DistributionFit fitWithLocation(const Distribution& distribution, const PreparedData& data,
                                DistributionLikelihood& likelihood, const std::vector<PlotPoint>& points)
{
    const double x1 = smallestFailure(data);
    const double spread = data.largestTime - x1 > 0 ? data.largestTime - x1 : x1;
    LocationProfile profile(distribution, likelihood, points);
    std::vector<GridPoint> grid;
    std::vector<Ascent> solutions;
    for (int i = 0; i < gridPoints; ++i) {
        const double gamma = gridGamma(x1, spread, i);
        solutions.push_back(profile.at(gamma));
        const Ascent& a = solutions.back();
        grid.push_back({gamma, a.converged ? a.terms.value : std::numeric_limits<double>::quiet_NaN()});
    }
    const int best = highestInteriorMaximum(grid);
    DistributionFit fit;
    if (best >= 0) {
        const auto k = static_cast<std::size_t>(best);
        AscentLimits limits;
        limits.bounded = distribution.locationIndex();
        limits.low = grid[k - 1].gamma;
        limits.high = grid[k + 1].gamma;
        fit = estimate(distribution, data, ascend(likelihood, distribution, solutions[k].p, limits), FitStatus::ok);
    }
    if (distribution.densityFiniteAtLocation()) {
        const Ascent boundary = profile.at(x1);
        const bool higher = boundary.converged && (best < 0 || !(fit.logLikelihood >= boundary.terms.value));
        if (higher) {
            fit = estimate(distribution, data, boundary, FitStatus::locationAtSmallestFailure);
            fit.locationOnBoundary = true;
        }
        grid.push_back({x1, boundary.converged ? boundary.terms.value : std::numeric_limits<double>::quiet_NaN()});
    }
    if (fit.name.empty()) {
        const WeibullFit none = withoutMaximum(grid);
        fit = withStatus(distribution, data, none.status);
        fit.statusText = none.statusText;
    }
    for (const GridPoint& point : grid)
        fit.profile.push_back({point.gamma, point.logLikelihood});
    return fit;
}

} // namespace

DistributionFit fitDistribution(const Distribution& distribution, const PreparedData& data,
                                const FitSettings& settings)
{
    const bool located = distribution.locationIndex() != noParameter;
    // At least as many distinct failure times as parameters.
    if (data.failureUnits == 0 || data.distinctFailureTimes < std::max<std::size_t>(distribution.parameterCount(), 1))
        return withStatus(distribution, data, FitStatus::tooFewFailures);
    std::unique_ptr<ChunkedWork> work = makeWork(data, settings);
    DistributionLikelihood likelihood(distribution, data, *work, settings.cancel);
    const std::vector<PlotPoint> points = probabilityPlotPoints(data);
    if (located)
        return fitWithLocation(distribution, data, likelihood, points);
    double start[maximumDistributionParameters] = {};
    distribution.startingCoordinates(points, 0, start);
    return estimate(distribution, data, ascend(likelihood, distribution, start), FitStatus::ok);
}

} // namespace lifedata

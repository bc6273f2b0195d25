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
#include "two_parameter_search.h"
#include "systematic_sample.h"

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

    // The maximum of the other parameters at `gamma`, from the neighbour's solution carried to this
    // location (the line on the family's paper through the neighbour's quantiles), or from the plot's
    // line, whichever is higher: where the location moves by much against the spread of the data,
    // the neighbour's parameters as they are can be far off.
    Ascent at(double gamma)
    {
        double start[maximumDistributionParameters] = {};
        distribution_.startingCoordinates(points_, gamma, start);
        double neighbour[maximumDistributionParameters] = {};
        if (carryNeighbour(gamma, neighbour) &&
            likelihood_.evaluate(neighbour, 0).value > likelihood_.evaluate(start, 0).value)
            std::copy(neighbour, neighbour + maximumDistributionParameters, start);
        AscentLimits limits;
        limits.held = location_;
        const Ascent ascent = ascend(likelihood_, distribution_, start, limits);
        haveLast_ = ascent.converged;
        if (haveLast_)
            std::copy(ascent.p, ascent.p + maximumDistributionParameters, last_);
        return ascent;
    }

private:
    bool carryNeighbour(double gamma, double (&p)[maximumDistributionParameters]) const
    {
        if (!haveLast_)
            return false;
        std::vector<PlotPoint> quantiles;
        for (double P : {0.1, 0.3, 0.5, 0.7, 0.9}) {
            const double t = distribution_.quantile(P, last_, nullptr);
            if (t > gamma && std::isfinite(t))
                quantiles.push_back({t, P});
        }
        if (quantiles.size() < 2)
            return false;
        distribution_.startingCoordinates(quantiles, gamma, p);
        return true;
    }

    const Distribution& distribution_;
    DistributionLikelihood& likelihood_;
    const std::vector<PlotPoint>& points_;
    std::size_t location_;
    bool haveLast_ = false;
    double last_[maximumDistributionParameters] = {};
};

// The profile on the whole location grid.
struct ProfileScan {
    std::vector<GridPoint> grid;
    std::vector<Ascent> solutions;
};

ProfileScan scanProfile(LocationProfile& profile, double x1, double spread)
{
    ProfileScan scan;
    for (int i = 0; i < gridPoints; ++i) {
        const double gamma = gridGamma(x1, spread, i);
        scan.solutions.push_back(profile.at(gamma));
        const Ascent& a = scan.solutions.back();
        scan.grid.push_back({gamma, a.converged ? a.terms.value : std::numeric_limits<double>::quiet_NaN()});
    }
    return scan;
}

// Newton in every parameter from grid point k's solution, kept between its neighbours.
Ascent refineMaximum(const Distribution& distribution, DistributionLikelihood& likelihood, const ProfileScan& scan,
                     std::size_t k)
{
    AscentLimits limits;
    limits.bounded = distribution.locationIndex();
    limits.low = scan.grid[k - 1].gamma;
    limits.high = scan.grid[k + 1].gamma;
    return ascend(likelihood, distribution, scan.solutions[k].p, limits);
}

enum class SampleOutcome {
    climbed,      // the full data's maximum, from the sample's
    towardX1,     // no interior maximum, and a profile that rises to x1 where the density allows one there
    undecided     // the full data must be scanned, so that a status is never decided on a sample
};

// Where Newton in every parameter does not settle, the maximum lies on a kink of the profile: an
// interval whose lower end the location crosses turns from S(a) - S(b) into F(b), and the slope in
// the location jumps there. Golden-section search on the profile's values needs no slope, and at a
// kink the values fall away on both sides, so it locates the maximum to the tolerance of the
// location's Newton steps.
Ascent goldenSectionMaximum(LocationProfile& profile, const ProfileScan& scan, std::size_t k, double x1)
{
    const double ratio = (3 - std::sqrt(5.0)) / 2;
    double low = scan.grid[k - 1].gamma, high = scan.grid[k + 1].gamma;
    double inner = scan.grid[k].gamma;
    Ascent best = scan.solutions[k];
    for (int iteration = 0; iteration < 300; ++iteration) {
        const double tolerance = fitTolerance * std::max(std::fabs(inner), x1 - inner);
        if (high - low <= tolerance)
            break;
        // Probe the larger side of the bracket.
        const bool right = high - inner > inner - low;
        const double trial = right ? inner + ratio * (high - inner) : inner - ratio * (inner - low);
        const Ascent at = profile.at(trial);
        if (at.converged && at.terms.value > best.terms.value) {
            (right ? low : high) = inner;
            inner = trial;
            best = at;
        } else {
            (right ? high : low) = trial;
        }
    }
    return best;
}

// For a large data set: the maximum of a systematic sample's profile, then Newton on the full data
// from there, within the grid's span.
SampleOutcome climbFromSample(const Distribution& distribution, const PreparedData& data, DistributionLikelihood& likelihood,
                     const std::vector<PlotPoint>& points, const FitSettings& settings, Ascent& result)
{
    const std::size_t records = data.failureTimes.size() + data.suspensionTimes.size() + data.intervalLower.size();
    if (records <= 2 * sampledRecords)
        return SampleOutcome::undecided;
    const double x1 = smallestFailure(data);
    const double spread = data.largestTime - x1 > 0 ? data.largestTime - x1 : x1;
    const PreparedData sample = systematicSample(data, records / sampledRecords);
    std::unique_ptr<ChunkedWork> sampleWork = makeWork(sample, settings);
    DistributionLikelihood sampleLikelihood(distribution, sample, *sampleWork, settings.cancel);
    LocationProfile sampleProfile(distribution, sampleLikelihood, points);
    const ProfileScan scan = scanProfile(sampleProfile, x1, spread);
    const int best = highestInteriorMaximum(scan.grid);
    const std::size_t last = scan.grid.size() - 1;
    if (best < 0 && distribution.densityFiniteAtLocation() &&
        scan.grid[last].logLikelihood > scan.grid[last - 1].logLikelihood)
        return SampleOutcome::towardX1;
    if (best < 0)
        return SampleOutcome::undecided;
    const Ascent start = refineMaximum(distribution, sampleLikelihood, scan, static_cast<std::size_t>(best));
    if (!start.converged)
        return SampleOutcome::undecided;
    AscentLimits limits;
    limits.bounded = distribution.locationIndex();
    limits.low = scan.grid.front().gamma;
    limits.high = scan.grid.back().gamma;
    result = ascend(likelihood, distribution, start.p, limits);
    return result.converged ? SampleOutcome::climbed : SampleOutcome::undecided;
}

DistributionFit fitWithLocation(const Distribution& distribution, const PreparedData& data,
                                DistributionLikelihood& likelihood, const std::vector<PlotPoint>& points,
                                const FitSettings& settings)
{
    const double x1 = smallestFailure(data);
    const double spread = data.largestTime - x1 > 0 ? data.largestTime - x1 : x1;
    LocationProfile profile(distribution, likelihood, points);
    if (distribution.densityFiniteAtLocation() && data.intervalLower.empty()) {
        // With failures and suspensions alone the profile rises all the way to x1 (for the
        // exponential, lp = -r ln(T/r) - r with T the total time beyond gamma, which falls as
        // gamma rises): no need to scan it.
        DistributionFit fit = estimate(distribution, data, profile.at(x1), FitStatus::locationAtSmallestFailure);
        fit.locationOnBoundary = fit.status == FitStatus::locationAtSmallestFailure;
        return fit;
    }
    DistributionFit fit;
    std::vector<GridPoint> grid;
    Ascent climbed;
    const SampleOutcome outcome = climbFromSample(distribution, data, likelihood, points, settings, climbed);
    if (outcome == SampleOutcome::climbed) {
        fit = estimate(distribution, data, climbed, FitStatus::ok);
        grid.push_back({fit.p[distribution.locationIndex()], fit.logLikelihood});
    } else if (outcome == SampleOutcome::undecided) {
        const ProfileScan scan = scanProfile(profile, x1, spread);
        grid = scan.grid;
        const int best = highestInteriorMaximum(grid);
        if (best >= 0) {
            const auto k = static_cast<std::size_t>(best);
            Ascent refined = refineMaximum(distribution, likelihood, scan, k);
            if (!refined.converged)
                refined = goldenSectionMaximum(profile, scan, k, x1);
            fit = estimate(distribution, data, refined, FitStatus::ok);
        }
    }
    if (distribution.densityFiniteAtLocation()) {
        const Ascent boundary = profile.at(x1);
        const bool higher = boundary.converged && (fit.name.empty() || !(fit.logLikelihood >= boundary.terms.value));
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
        return fitWithLocation(distribution, data, likelihood, points, settings);
    double start[maximumDistributionParameters] = {};
    distribution.startingCoordinates(points, 0, start);
    return estimate(distribution, data, ascend(likelihood, distribution, start), FitStatus::ok);
}

} // namespace lifedata

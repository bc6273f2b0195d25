// The three-parameter fit through the profile log-likelihood lp(gamma), the two-parameter maximum
// at each gamma below x1, the smallest failure time. Close to x1 lp always grows without bound (the
// fitted m falls below 1), so the estimate is the highest interior local maximum, found on a grid of
// gamma that crowds toward x1 and reaches far below zero, then refined by solving dlp/dgamma = 0.
// dlp/dgamma is the likelihood's partial derivative in gamma at the inner maximum; its derivative
// is the Schur complement of the Hessian in (ln m, ln eta, gamma). Refining on the values of lp
// instead could not locate a flat maximum better than about the square root of the rounding.
//
// A large data set is scanned first on a systematic sample of its records (every k-th, counts times
// k), which has the same profile to well within a grid step. The full data's lp is then computed
// only around the sample's maximum, climbing the grid until the full data's own local maximum is
// bracketed, and the profile given is those points. When the sample shows no interior maximum the
// full data is scanned on the whole grid, so that a status is never decided on a sample.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "two_parameter_search.h"
#include "weibull_fit.h"

namespace lifedata {

namespace {

// The grid in d = x1 - gamma, as multiples of the data's spread: 10^-6 to 10^4 in steps of a
// quarter decade, so that a maximum close to x1 and one far below zero are both seen.
constexpr int gridPoints = 41;
constexpr double smallestDecade = -6;
constexpr double decadeStep = 0.25;

// The scan needs lp only to locate maxima; lp is flat at the inner maximum, so a loose shape is enough.
constexpr double scanTolerance = 1e-9;

constexpr int maximumRefinements = 100;
constexpr double gammaTolerance = 1e-13;

struct GridPoint {
    double gamma;
    double logLikelihood;
};

// Grid point i, ascending in gamma: i = 0 is the farthest below x1.
double gridGamma(double x1, double spread, int i)
{
    return x1 - spread * std::pow(10.0, smallestDecade + decadeStep * (gridPoints - 1 - i));
}

double profileValue(TwoParameterSearch& search, double gamma)
{
    const TwoParameterSolution s = search.solve(gamma, scanTolerance);
    return s.converged ? s.logLikelihood : NAN;
}

// lp on the whole grid, ascending in gamma, from far below the data toward x1 so that each
// solution starts from its neighbour's.
std::vector<GridPoint> scanProfile(TwoParameterSearch& search, double x1, double spread)
{
    std::vector<GridPoint> grid;
    for (int i = 0; i < gridPoints; ++i) {
        const double gamma = gridGamma(x1, spread, i);
        grid.push_back({gamma, profileValue(search, gamma)});
    }
    return grid;
}

// The index of the highest interior local maximum of lp on the grid, or -1.
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

// Why a profile with no interior maximum has no estimate. Where some locations have no two-parameter
// maximum (data of intervals from 0 alone has none anywhere), nothing is said about how the profile
// runs: an unknown value could hide a maximum or a rise.
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

// Records kept when a data set is scanned on a sample.
constexpr std::size_t sampledRecords = 16384;

// Every step-th record of each kind (the smallest failure always), counts times `step`.
PreparedData systematicSample(const PreparedData& data, std::size_t step)
{
    PreparedData sample = data;
    auto thin = [step](std::vector<double>& counts, std::initializer_list<std::vector<double>*> values) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < counts.size(); i += step, ++kept) {
            counts[kept] = counts[i] * static_cast<double>(step);
            for (std::vector<double>* v : values)
                (*v)[kept] = (*v)[i];
        }
        counts.resize(kept);
        for (std::vector<double>* v : values)
            v->resize(kept);
    };
    thin(sample.failureCounts, {&sample.failureTimes});
    thin(sample.suspensionCounts, {&sample.suspensionTimes});
    thin(sample.intervalCounts, {&sample.intervalLower, &sample.intervalUpper});
    sample.failureUnits = 0;
    for (double c : sample.failureCounts)
        sample.failureUnits += c;
    for (double c : sample.intervalCounts)
        sample.failureUnits += c;
    sample.distinctFailureTimes = sample.failureTimes.size() + sample.intervalUpper.size();
    return sample;
}

// Around grid point `start` (the sample's maximum), climbs the full data's lp to a local maximum.
// Returns the points computed, ascending in gamma, and in `best` the maximum's index among them;
// false when the climb reaches an end of the grid.
bool climbToMaximum(TwoParameterSearch& search, double x1, double spread, int start, std::vector<GridPoint>& points,
                    int& best)
{
    std::map<int, double> computed;
    auto lp = [&](int i) {
        auto found = computed.find(i);
        if (found == computed.end())
            found = computed.emplace(i, profileValue(search, gridGamma(x1, spread, i))).first;
        return found->second;
    };
    int i = start;
    bool found = false;
    for (int step = 0; step < gridPoints && i > 0 && i < gridPoints - 1; ++step) {
        const double here = lp(i), below = lp(i - 1), above = lp(i + 1);
        if (here > below && here >= above) {
            found = true;
            break;
        }
        i = above > below ? i + 1 : i - 1;
    }
    for (const auto& [index, value] : computed) {
        if (index == i)
            best = static_cast<int>(points.size());
        points.push_back({gridGamma(x1, spread, index), value});
    }
    return found;
}

// d lp / d gamma and its derivative at gamma, with the inner maximum there.
struct ProfileSlope {
    TwoParameterSolution inner;
    double slope;
    double curvature;
};

ProfileSlope profileSlope(TwoParameterSearch& search, LikelihoodEvaluator& evaluator, double gamma)
{
    ProfileSlope result;
    result.inner = search.solve(gamma, fitTolerance);
    const LikelihoodDerivatives d = evaluator.evaluate(result.inner.m, result.inner.eta, gamma, 2);
    const auto& h = d.hessian;
    const double det = h[0][0] * h[1][1] - h[0][1] * h[0][1];
    // h22 - (h20 h21) H^-1 (h02 h12)^T for the 2x2 block H of (ln m, ln eta).
    const double quadratic = (h[1][1] * h[0][2] * h[0][2] - 2 * h[0][1] * h[0][2] * h[1][2] +
                              h[0][0] * h[1][2] * h[1][2]) / det;
    result.slope = d.gradient[2];
    result.curvature = h[2][2] - quadratic;
    return result;
}

WeibullFit refineMaximum(TwoParameterSearch& search, LikelihoodEvaluator& evaluator, const PreparedData& data,
                         const std::vector<GridPoint>& grid, std::size_t k)
{
    const double x1 = smallestFailure(data);
    double low = grid[k - 1].gamma, high = grid[k + 1].gamma; // dlp/dgamma > 0 at low, < 0 at high
    double gamma = grid[k].gamma;
    for (int iteration = 1; iteration <= maximumRefinements; ++iteration) {
        const ProfileSlope p = profileSlope(search, evaluator, gamma);
        if (!p.inner.converged)
            break;
        if (p.slope > 0)
            low = gamma;
        else
            high = gamma;
        const double next = p.curvature < 0 ? gamma - p.slope / p.curvature : NAN;
        const double tolerance = gammaTolerance * std::max(std::fabs(gamma), x1 - gamma);
        if (std::fabs(next - gamma) <= tolerance || high - low <= tolerance || p.slope == 0) {
            WeibullFit fit = withStatus(FitStatus::ok);
            fit.m = p.inner.m;
            fit.eta = p.inner.eta;
            fit.gamma = gamma;
            fit.logLikelihood = p.inner.logLikelihood;
            fit.iterations = iteration;
            return fit;
        }
        gamma = next > low && next < high ? next : (low + high) / 2;
    }
    return withStatus(FitStatus::notConverged);
}

} // namespace

ThreeParameterFit fitThreeParameter(const PreparedData& data, const FitSettings& settings)
{
    checkFittable(data);
    ThreeParameterFit result;
    if (data.distinctFailureTimes < 3) {
        result.fit = withStatus(FitStatus::tooFewFailures);
        return result;
    }
    std::unique_ptr<ChunkedWork> work = makeWork(data, settings);
    TwoParameterSearch search(data, *work);
    LikelihoodEvaluator evaluator(data, *work);
    const double x1 = smallestFailure(data);
    const double spread = data.largestTime - x1;

    std::vector<GridPoint> points;
    int best = -1;
    const std::size_t records = data.failureTimes.size() + data.suspensionTimes.size() + data.intervalLower.size();
    if (records > 2 * sampledRecords) {
        const PreparedData sample = systematicSample(data, records / sampledRecords);
        std::unique_ptr<ChunkedWork> sampleWork = makeWork(sample, settings);
        TwoParameterSearch sampleSearch(sample, *sampleWork);
        const int sampleBest = highestInteriorMaximum(scanProfile(sampleSearch, x1, spread));
        if (sampleBest < 0 || !climbToMaximum(search, x1, spread, sampleBest, points, best)) {
            points.clear();
            best = -1;
        }
    }
    if (points.empty()) {
        points = scanProfile(search, x1, spread);
        best = highestInteriorMaximum(points);
    }
    for (const GridPoint& point : points)
        result.profile.push_back({point.gamma, point.logLikelihood});

    if (best < 0) {
        result.fit = withoutMaximum(points);
        return result;
    }
    result.fit = refineMaximum(search, evaluator, data, points, static_cast<std::size_t>(best));
    return result;
}

} // namespace lifedata

// The three-parameter fit through the profile log-likelihood lp(gamma), the two-parameter maximum
// at each gamma below x1, the smallest failure time. Close to x1 lp always grows without bound (the
// fitted m falls below 1), so the estimate is the highest interior local maximum, found on a grid of
// gamma that crowds toward x1 and reaches far below zero, then refined by solving dlp/dgamma = 0.
// dlp/dgamma is the likelihood's partial derivative in gamma at the inner maximum; its derivative
// is the Schur complement of the Hessian in (ln m, ln eta, gamma). Refining on the values of lp
// instead could not locate a flat maximum better than about the square root of the rounding.
//
// A large data set is scanned first on a systematic sample of its records (one in k, counts times
// k), whose profile has its maximum within a grid step or a few of the full data's. The sample's
// maximum, refined on the sample, starts Newton's method on the full data's likelihood in all three
// parameters, a pass over the records per step. Where that does not settle, the full data's lp is
// computed around the sample's maximum, climbing the grid until its own local maximum is bracketed.
// The profile given is the points computed on the full data. When the sample shows no interior
// maximum the full data is scanned on the whole grid, so that a status is never decided on a sample.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "fisher_bounds.h"
#include "location_grid.h"
#include "systematic_sample.h"
#include "two_parameter_search.h"
#include "weibull_fit.h"

namespace lifedata {

namespace {

// The scan needs lp only to locate maxima; lp is flat at the inner maximum, so a loose shape is enough.
constexpr double scanTolerance = 1e-9;

constexpr int maximumRefinements = 100;
constexpr double gammaTolerance = 1e-13;

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

// A fit of (m, eta, gamma) at the point `p`, from its likelihood `d` and the iterations it took.
WeibullFit estimateAt(const double (&p)[3], const LikelihoodDerivatives& d, int iterations)
{
    WeibullFit fit = withStatus(FitStatus::ok);
    fit.m = std::exp(p[0]);
    fit.eta = std::exp(p[1]);
    fit.gamma = p[2];
    fit.logLikelihood = d.value;
    fit.iterations = iterations;
    return fit;
}

// Newton's method on the full data's likelihood in (ln m, ln eta, gamma) from `start`, the sample's
// estimate, which lies within the sample's error of the full data's maximum: a few steps, each one
// pass over the records, where the profile would solve an inner fit at every trial location. It
// stops where the steps are as small as the profile's refinement asks (the same maximum, found in
// one space instead of two). False where the likelihood is not concave on the way, the steps keep
// leaving (low, high) (the full data's maximum is not the sample's, or not near it) or do not
// settle; the caller then takes the profile's longer road.
bool climbJointly(LikelihoodEvaluator& evaluator, double x1, double low, double high, const WeibullFit& start,
                  WeibullFit& fit)
{
    constexpr int maximumSteps = 30;
    double p[3] = {std::log(start.m), std::log(start.eta), start.gamma};
    LikelihoodDerivatives current = evaluator.evaluate(start.m, start.eta, start.gamma, 2);
    int shortenedAtAnEnd = 0;
    for (int iteration = 1; iteration <= maximumSteps && std::isfinite(current.value); ++iteration) {
        ParameterCovariance inverse;
        if (!covarianceFromHessian(current.hessian, 3, inverse))
            return false;
        double step[3];
        for (int i = 0; i < 3; ++i)
            step[i] = inverse.c[i][0] * current.gradient[0] + inverse.c[i][1] * current.gradient[1] +
                      inverse.c[i][2] * current.gradient[2];
        const double gammaStep = gammaTolerance * std::max(std::fabs(p[2]), x1 - p[2]);
        const bool small = std::fabs(step[0]) <= fitTolerance && std::fabs(step[1]) <= fitTolerance;
        if (small && std::fabs(step[2]) <= gammaStep) {
            fit = estimateAt(p, current, iteration);
            return true;
        }
        // Rounding leaves the likelihood flat to a few units in its last place near the maximum.
        const bool nearMaximum = std::max(std::fabs(step[0]), std::fabs(step[1])) < 1e-6;
        const double slack = nearMaximum ? 1e-14 * (1 + std::fabs(current.value)) : 0;
        bool accepted = false;
        for (double t = 1; t > 1e-6 && !accepted; t /= 2) {
            const double trial[3] = {p[0] + t * step[0], p[1] + t * step[1], p[2] + t * step[2]};
            // A first step from afar may overshoot toward x1, where the likelihood is far from
            // quadratic, and is shortened; steps that keep pressing against an end mean that the
            // maximum lies beyond it.
            if (!(trial[2] > low && trial[2] < high)) {
                if (++shortenedAtAnEnd > 4)
                    return false;
                continue;
            }
            const LikelihoodDerivatives d =
                evaluator.evaluate(std::exp(trial[0]), std::exp(trial[1]), trial[2], 2);
            if (d.value >= current.value - slack) {
                std::copy(trial, trial + 3, p);
                current = d;
                accepted = true;
            }
        }
        if (!accepted)
            return false;
    }
    return false;
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
        LikelihoodEvaluator sampleEvaluator(sample, *sampleWork);
        const std::vector<GridPoint> sampleGrid = scanProfile(sampleSearch, x1, spread);
        const int sampleBest = highestInteriorMaximum(sampleGrid);
        if (sampleBest >= 0) {
            const auto k = static_cast<std::size_t>(sampleBest);
            const WeibullFit start = refineMaximum(sampleSearch, sampleEvaluator, sample, sampleGrid, k);
            // Uphill from the sample's maximum within the grid, as the climb below would go: the
            // sample thins the smallest failures, so close to x1 its maximum may lie some grid
            // steps from the full data's.
            const double low = gridGamma(x1, spread, 0), high = gridGamma(x1, spread, gridPoints - 1);
            if (start.status == FitStatus::ok && climbJointly(evaluator, x1, low, high, start, result.fit)) {
                result.profile.push_back({result.fit.gamma, result.fit.logLikelihood});
                return result;
            }
        }
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

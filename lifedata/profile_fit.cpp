// The three-parameter fit through the profile log-likelihood lp(gamma), the two-parameter maximum
// at each gamma below x1, the smallest failure time. Close to x1 lp always grows without bound (the
// fitted m falls below 1), so the estimate is the highest interior local maximum, found on a grid of
// gamma that crowds toward x1 and reaches far below zero, then refined by solving dlp/dgamma = 0.
// dlp/dgamma is the likelihood's partial derivative in gamma at the inner maximum; its derivative
// is the Schur complement of the Hessian in (ln m, ln eta, gamma). Refining on the values of lp
// instead could not locate a flat maximum better than about the square root of the rounding.
#include <algorithm>
#include <cmath>

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

std::vector<GridPoint> scanProfile(const PreparedData& data, TwoParameterSearch& search)
{
    const double x1 = smallestFailure(data);
    const double spread = data.largestTime - x1;
    std::vector<GridPoint> grid;
    // Ascending in gamma, from far below the data toward x1, so that each solution starts from its
    // neighbour's.
    for (int k = gridPoints - 1; k >= 0; --k) {
        const double d = spread * std::pow(10.0, smallestDecade + decadeStep * k);
        const double gamma = x1 - d;
        const TwoParameterSolution s = search.solve(gamma, scanTolerance);
        grid.push_back({gamma, s.converged ? s.logLikelihood : NAN});
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
    const std::vector<GridPoint> grid = scanProfile(data, search);
    for (const GridPoint& point : grid)
        result.profile.push_back({point.gamma, point.logLikelihood});

    const int best = highestInteriorMaximum(grid);
    if (best < 0) {
        // Still rising at the far end of the grid: as gamma decreases without limit.
        const bool risesDownward = grid[0].logLikelihood > grid[1].logLikelihood;
        result.fit = withStatus(risesDownward ? FitStatus::noFiniteMaximum : FitStatus::noInteriorMaximum);
        return result;
    }
    result.fit = refineMaximum(search, evaluator, data, grid, static_cast<std::size_t>(best));
    return result;
}

} // namespace lifedata

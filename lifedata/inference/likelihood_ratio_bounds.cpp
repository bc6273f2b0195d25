// Each side is searched outward from the estimate on the profile of the quantity in its coordinate
// s. Every constrained maximum starts from the nearest one already found, so the maxima form one
// continuous branch grown out of the estimate.
#include "likelihood_ratio_bounds.h"

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "censored_two_parameter_profile.h"
#include "profile_side_search.h"

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// Relative tolerance of the coordinate at the end, well inside the 1e-8 the bounds are good to.
constexpr double coordinateTolerance = 1e-10;
// A logarithmic coordinate this far from the estimate (a factor of 1e13) is as good as no end.
constexpr double logSpan = 30;
// With three parameters a larger m is the extreme-value limit the Weibull family tends to (gamma far
// below the data): the likelihood no longer changes with m, and its rounding takes over. A profile
// that has not fallen by this m never will; a branch whose free m passes it has left the family's
// interior.
constexpr double largestShape = 1e4;

double freeShape(const ProfileProblem& problem, const FreePoint& point)
{
    if (problem.quantity == HeldQuantity::shape)
        return 0;
    return std::exp(point.theta[0]);
}

ProfileProblem problemOf(const LikelihoodRatioSetup& setup, HeldQuantity quantity, double argument)
{
    ProfileProblem problem{};
    problem.likelihood = setup.likelihood;
    problem.threeParameter = setup.threeParameter;
    problem.gamma = setup.estimate.gamma;
    problem.smallestFailure = setup.smallestFailure;
    problem.scale = setup.estimate.eta;
    problem.quantity = quantity;
    problem.percent = argument;
    problem.time = argument;
    return problem;
}

// The standard error of s by the delta method; NaN without a covariance.
double coordinateError(const LikelihoodRatioSetup& setup, const ProfileProblem& problem)
{
    if (!setup.covariance)
        return notANumber;
    const WeibullEstimate& e = setup.estimate;
    const double K = std::log(-std::log1p(-problem.percent / 100));
    double g[3] = {0, 0, 0};
    switch (problem.quantity) {
    case HeldQuantity::shape:
        g[0] = 1;
        break;
    case HeldQuantity::scale:
        g[1] = 1;
        break;
    case HeldQuantity::location:
        g[2] = 1 / (setup.smallestFailure - e.gamma);
        break;
    case HeldQuantity::bLife: {
        const double above = e.eta * std::exp(K / e.m);
        const double factor = setup.threeParameter ? above : 1;
        g[0] = -factor * K / e.m;
        g[1] = factor;
        g[2] = setup.threeParameter ? 1 : 0;
        break;
    }
    case HeldQuantity::reliability:
        g[0] = e.m * (std::log(problem.time - e.gamma) - std::log(e.eta));
        g[1] = -e.m;
        g[2] = -e.m / (problem.time - e.gamma);
        break;
    }
    return std::sqrt(deltaMethodVariance(*setup.covariance, g));
}

// The constrained maxima found so far on one side; each new one starts from the nearest. With three
// parameters the likelihood also rises without bound as gamma nears the smallest failure, and a long
// step can land on that rise, where m is near 1, instead of on the interior branch. So the way from
// the nearest maximum is walked in steps along which no free coordinate moves by more than
// `branchStep` as a logarithm, halving the step where the branch bends; where even a step of the
// side's resolution cannot keep to the branch, the branch ends there and has no value beyond. A
// step from a maximum close by converges in a few iterations or not at all, so a failed step is
// cheap; the whole side has a budget of maximisations, past which the branch is not followed, and
// where its free m has passed `largestShape` it ends for every value as far out or farther.
struct Branch {
    const ProfileProblem& problem;
    double resolution;
    std::vector<double> s;
    std::vector<FreePoint> points;
    std::vector<std::size_t> from; // the maximum each was reached from (the estimate: itself)
    int budget = 1000;
    double endsBeyond = std::numeric_limits<double>::infinity(); // distance from the estimate (s[0])
    double farthest = 0;                                          // of the maxima reached, from s[0]
    double farthestValue = notANumber;

    static constexpr double branchStep = 0.5;
    static constexpr int stepIterations = 12;
    // A branch that cannot be followed with a step 2^-8 of the one asked for ends there (a fold, or
    // the rounding of a far tail); the side search then backs off toward the estimate.
    static constexpr int halvingLimit = 8;

    ProfileValue operator()(double at)
    {
        const std::size_t start = nearest(s, at);
        if (!problem.threeParameter) {
            const ConstrainedMaximum maximum = maximizeHeld(problem, at, points[start]);
            if (!maximum.found)
                return {notANumber, notANumber};
            s.push_back(at);
            points.push_back(maximum.point);
            from.push_back(start);
            return {maximum.value, maximum.slope};
        }
        if (std::fabs(at - s[0]) >= endsBeyond)
            return {notANumber, notANumber};
        std::size_t current = start;
        double step = at - s[current];
        int halvings = 0;
        while (budget-- > 0) {
            const double position = s[current];
            const FreePoint point = points[current];
            const double target = std::fabs(at - position) <= std::fabs(step) ? at : position + step;
            const ConstrainedMaximum maximum =
                maximizeHeld(problem, target, predicted(current, target), stepIterations);
            if (maximum.found && freeShape(problem, maximum.point) > largestShape) {
                // Past the family's interior: the branch has no value here or farther out.
                endsBeyond = std::fmin(endsBeyond, std::fabs(target - s[0]));
                break;
            }
            if (maximum.found && branchDistance(problem, position, point, target, maximum.point) <= branchStep) {
                s.push_back(target);
                points.push_back(maximum.point);
                from.push_back(current);
                if (std::fabs(target - s[0]) > farthest) {
                    farthest = std::fabs(target - s[0]);
                    farthestValue = maximum.value;
                }
                if (target == at)
                    return {maximum.value, maximum.slope};
                current = s.size() - 1;
                step *= 2;
                halvings = 0;
            } else {
                step /= 2;
                if (++halvings > halvingLimit || std::fabs(step) <= resolution)
                    break;
            }
        }
        return {notANumber, notANumber};
    }

    // The start for the maximum at `target`: the line through maximum k and the one it was reached
    // from, so that a step along a curving branch starts close to it and converges in a few
    // iterations; maximum k itself where there is no line or the line leaves gamma's range.
    FreePoint predicted(std::size_t k, double target) const
    {
        const std::size_t before = from[k];
        if (before == k || s[k] == s[before])
            return points[k];
        const double t = (target - s[k]) / (s[k] - s[before]);
        FreePoint p = points[k];
        for (int i = 0; i < 2; ++i)
            p.theta[i] += t * (points[k].theta[i] - points[before].theta[i]);
        return branchDistance(problem, s[k], points[k], target, p) <= branchStep ? p : points[k];
    }

    // Whether the branch left the family while the profile was still above `level`: beyond
    // m = largestShape the likelihood is that of the extreme-value limit and no longer falls, so
    // the side never closes.
    bool leftFamilyAbove(double level) const { return std::isfinite(endsBeyond) && farthestValue > level; }

    static std::size_t nearest(const std::vector<double>& s, double at)
    {
        std::size_t best = 0;
        for (std::size_t i = 1; i < s.size(); ++i) {
            if (std::fabs(s[i] - at) < std::fabs(s[best] - at))
                best = i;
        }
        return best;
    }
};

// The same for two parameters without intervals, on the profile's own sums.
struct CensoredBranch {
    CensoredTwoParameterProfile& profile;
    HeldQuantity quantity;
    double argument;
    std::vector<double> s;
    std::vector<double> m;

    ProfileValue operator()(double at)
    {
        const CensoredTwoParameterProfile::Maximum maximum =
            profile.maximize(quantity, argument, at, m[Branch::nearest(s, at)]);
        if (!maximum.found)
            return {notANumber, notANumber};
        s.push_back(at);
        m.push_back(maximum.m);
        return {maximum.value, maximum.slope};
    }
};

// A side in numbers or words. The upper side of gamma that does not close before x1 is cut there; a
// reliability lies in [0, 1], so a side of u that does not close is R = 0 (u rising) or 1.
BoundSide sideOf(const ProfileProblem& problem, const SideResult& result, double direction)
{
    switch (result.end) {
    case SideEnd::closed:
        return {heldQuantity(problem, result.s), ""};
    case SideEnd::open:
        if (problem.quantity == HeldQuantity::location && direction > 0)
            return {problem.smallestFailure, cutAtSmallestFailureText};
        if (problem.quantity == HeldQuantity::reliability)
            return {direction > 0 ? 0.0 : 1.0, ""};
        return {notANumber, unboundedText};
    case SideEnd::lost:
        break;
    }
    return {notANumber, notFoundText};
}

} // namespace

ConfidenceInterval likelihoodRatioBounds(const LikelihoodRatioSetup& setup, HeldQuantity quantity, double argument)
{
    const ProfileProblem problem = problemOf(setup, quantity, argument);
    const WeibullEstimate& e = setup.estimate;
    const double estimate = heldCoordinate(problem, e.m, e.eta, e.gamma);
    if (std::isnan(estimate))
        return {{notANumber, ""}, {notANumber, ""}};

    const bool censoredOnly = !setup.threeParameter && setup.data->intervalLower.empty();
    std::optional<CensoredTwoParameterProfile> censored;
    double maximum = setup.logLikelihood;
    if (censoredOnly) {
        // Its own value at the estimate, so that lmax and the profile share their rounding.
        censored.emplace(*setup.data, e.gamma, *setup.work);
        maximum = censored->logLikelihood(e.m, e.eta);
    }

    const bool linear = setup.threeParameter && quantity == HeldQuantity::bLife;
    const double unit = linear ? std::fabs(estimate) + e.eta : 1;
    double firstStep = setup.z * coordinateError(setup, problem);
    if (!(firstStep > 0) || !std::isfinite(firstStep))
        firstStep = 0.1 * unit;

    BoundSide sides[2];
    for (int side = 0; side < 2; ++side) {
        const double direction = side == 0 ? -1 : 1;
        double maxSpan = linear ? 1e6 * unit : logSpan;
        // u = m ln((t - gamma) / eta) scales with its own size: far out in a tail its sides lie
        // hundreds of units apart.
        if (quantity == HeldQuantity::reliability)
            maxSpan = logSpan * (1 + std::fabs(estimate));
        if (setup.threeParameter && quantity == HeldQuantity::shape && direction > 0)
            maxSpan = std::fmax(std::log(largestShape) - estimate, 1.0);
        const bool towardSmallestFailure = quantity == HeldQuantity::location && direction > 0;
        if (towardSmallestFailure) {
            // Up to where x1 - gamma is still resolved next to x1.
            const double closest = 1e-12 * std::fmax(std::fabs(setup.smallestFailure), e.eta);
            maxSpan = std::fmax(std::log((setup.smallestFailure - e.gamma) / closest), 0.0);
        }
        const double tolerance = coordinateTolerance * std::fmax(unit, std::fabs(estimate));
        const SideSearch search{estimate,
                                maximum,
                                setup.critical / 2,
                                direction,
                                std::fmin(firstStep, maxSpan / 2),
                                maxSpan,
                                tolerance};
        SideResult result;
        if (censored) {
            CensoredBranch branch{*censored, quantity, argument, {estimate}, {e.m}};
            result = findProfileSide(branch, search);
        } else {
            Branch branch{problem, tolerance, {estimate}, {freeCoordinates(problem, e.m, e.eta, e.gamma)}, {0}};
            result = findProfileSide(branch, search);
            if (result.end == SideEnd::lost && branch.leftFamilyAbove(maximum - search.drop))
                result.end = SideEnd::open;
        }
        sides[side] = sideOf(problem, result, direction);
    }
    // R falls as u rises: the lower side of u is the upper bound of R.
    if (quantity == HeldQuantity::reliability)
        return {sides[1], sides[0]};
    return {sides[0], sides[1]};
}

} // namespace lifedata

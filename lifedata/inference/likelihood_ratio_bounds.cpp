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

// The constrained maxima found so far on one side; each new one starts from the nearest.
struct Branch {
    const ProfileProblem& problem;
    std::vector<double> s;
    std::vector<FreePoint> points;

    ProfileValue operator()(double at)
    {
        const std::size_t start = nearest(s, at);
        const ConstrainedMaximum maximum = maximizeHeld(problem, at, points[start]);
        if (!maximum.found)
            return {notANumber, notANumber};
        s.push_back(at);
        points.push_back(maximum.point);
        return {maximum.value, maximum.slope};
    }

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
        const bool towardSmallestFailure = quantity == HeldQuantity::location && direction > 0;
        if (towardSmallestFailure) {
            // Up to where x1 - gamma is still resolved next to x1.
            const double closest = 1e-12 * std::fmax(std::fabs(setup.smallestFailure), e.eta);
            maxSpan = std::fmax(std::log((setup.smallestFailure - e.gamma) / closest), 0.0);
        }
        const SideSearch search{estimate,
                                maximum,
                                setup.critical / 2,
                                direction,
                                std::fmin(firstStep, maxSpan / 2),
                                maxSpan,
                                coordinateTolerance * std::fmax(unit, std::fabs(estimate))};
        SideResult result;
        if (censored) {
            CensoredBranch branch{*censored, quantity, argument, {estimate}, {e.m}};
            result = findProfileSide(branch, search);
        } else {
            Branch branch{problem, {estimate}, {freeCoordinates(problem, e.m, e.eta, e.gamma)}};
            result = findProfileSide(branch, search);
        }
        if (result.end == SideEnd::closed)
            sides[side] = {heldQuantity(problem, result.s), ""};
        else if (towardSmallestFailure)
            sides[side] = {setup.smallestFailure, cutAtSmallestFailureText};
        else
            sides[side] = {notANumber, unboundedText};
    }
    // R falls as u rises: the lower side of u is the upper bound of R.
    if (quantity == HeldQuantity::reliability)
        return {sides[1], sides[0]};
    return {sides[0], sides[1]};
}

} // namespace lifedata

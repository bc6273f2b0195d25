// Each side is searched outward from the estimate with the shared side search; every constrained
// maximum starts from the nearest one already found, so that the maxima grow out of the estimate.
#include "distribution_likelihood_ratio.h"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "profile_side_search.h"

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
// As for the Weibull bounds: a logarithm 30 from the estimate (a factor of 1e13) is no end, and the
// end is resolved far inside the accuracy the bounds are given to.
constexpr double logSpan = 30;
constexpr double coordinateTolerance = 1e-10;

using Coordinates = std::array<double, maximumDistributionParameters>;

struct Branch {
    const DistributionProfile& profile;
    std::vector<double> s;
    std::vector<Coordinates> points;
    const Coordinates* tangent; // dp/ds at the estimate, or null

    ProfileValue operator()(double at)
    {
        std::size_t nearest = 0;
        std::size_t second = 0;
        for (std::size_t i = 1; i < s.size(); ++i) {
            if (std::fabs(s[i] - at) < std::fabs(s[nearest] - at)) {
                second = nearest;
                nearest = i;
            } else if (second == nearest || std::fabs(s[i] - at) < std::fabs(s[second] - at)) {
                second = i;
            }
        }
        // The line through the two nearest maxima starts Newton's method close to the next one,
        // which saves passes over the data; the nearest maximum itself where that fails.
        // From the estimate alone, the profile's tangent there does the same.
        HeldMaximum maximum;
        Coordinates predicted{};
        bool hasPrediction = false;
        if (second != nearest && s[second] != s[nearest]) {
            const double t = (at - s[nearest]) / (s[nearest] - s[second]);
            for (std::size_t k = 0; k < maximumDistributionParameters; ++k)
                predicted[k] = points[nearest][k] + t * (points[nearest][k] - points[second][k]);
            hasPrediction = true;
        } else if (tangent != nullptr) {
            for (std::size_t k = 0; k < maximumDistributionParameters; ++k)
                predicted[k] = points[nearest][k] + (at - s[nearest]) * (*tangent)[k];
            hasPrediction = true;
        }
        if (hasPrediction)
            maximum = maximizeHeldQuantity(profile, at, predicted.data());
        if (!maximum.found)
            maximum = maximizeHeldQuantity(profile, at, points[nearest].data());
        if (!maximum.found)
            return {notANumber, notANumber};
        s.push_back(at);
        Coordinates p{};
        std::copy(maximum.p, maximum.p + maximumDistributionParameters, p.begin());
        points.push_back(p);
        return {maximum.value, maximum.slope};
    }
};

bool isFreeThreshold(const QuantityContext& context, const DistributionQuantity& quantity)
{
    return quantity.kind == QuantityKind::parameter && quantity.index == context.distribution->locationIndex() &&
           context.locationFree;
}

BoundSide sideOf(const DistributionRatioSetup& setup, const DistributionQuantity& quantity, const SideResult& result,
                 double direction)
{
    switch (result.end) {
    case SideEnd::closed:
        return {quantityAt(setup.context, quantity, result.s, setup.estimate), ""};
    case SideEnd::open:
        if (isFreeThreshold(setup.context, quantity) && direction > 0)
            return {setup.context.smallestFailure, cutAtSmallestFailureText};
        if (quantity.kind == QuantityKind::reliability) {
            const bool falls = fallsWithCoordinate(setup.context, quantity);
            return {(direction > 0) == falls ? 0.0 : 1.0, ""};
        }
        return {notANumber, unboundedText};
    case SideEnd::lost:
        break;
    }
    return {notANumber, notFoundText};
}

// Along the profile the other coordinates follow the regression of p on s at the estimate: to first
// order dp/ds = C g / (g' C g), with C the covariance and g the gradient of s.
bool profileTangent(const ParameterCovariance& covariance, const double* g, Coordinates& tangent)
{
    const double gradient[3] = {g[0], g[1], g[2]};
    const double variance = deltaMethodVariance(covariance, gradient);
    if (!(variance > 0) || !std::isfinite(variance))
        return false;
    for (int i = 0; i < 3; ++i) {
        double sum = 0;
        for (int k = 0; k < covariance.size; ++k)
            sum += covariance.c[i][k] * gradient[k];
        tangent[i] = sum / variance;
    }
    return true;
}

} // namespace

ConfidenceInterval distributionRatioBounds(const DistributionRatioSetup& setup, const DistributionQuantity& quantity)
{
    const QuantityContext& context = setup.context;
    if (quantity.kind == QuantityKind::parameter && quantity.index == context.distribution->locationIndex() &&
        !context.locationFree)
        return {{notANumber, ""}, {notANumber, ""}};
    const QuantityCoordinate c = quantityCoordinate(context, quantity, setup.estimate);
    if (!c.defined)
        return {{notANumber, ""}, {notANumber, ""}};
    const DistributionProfile profile = makeDistributionProfile(context, *setup.likelihood, quantity, setup.estimate);

    const bool unitFree = unitFreeCoordinate(context, quantity);
    double firstStep = notANumber;
    if (setup.covariance) {
        const double g[3] = {c.gradient[0], c.gradient[1], c.gradient[2]};
        firstStep = setup.z * std::sqrt(deltaMethodVariance(*setup.covariance, g));
    }
    const double unit = unitFree ? 1 : std::fmax(std::fabs(c.s), std::isfinite(firstStep) ? 10 * firstStep : 0);
    if (!(firstStep > 0) || !std::isfinite(firstStep))
        firstStep = 0.1 * (unit > 0 ? unit : 1);
    const double tolerance = coordinateTolerance * std::fmax(unit, std::fabs(c.s));
    Coordinates tangent{};
    const bool hasTangent = setup.covariance && profileTangent(*setup.covariance, c.gradient, tangent);

    BoundSide sides[2];
    for (int side = 0; side < 2; ++side) {
        const double direction = side == 0 ? -1 : 1;
        double maxSpan = unitFree ? logSpan * (1 + (quantity.kind == QuantityKind::reliability ? std::fabs(c.s) : 0))
                                  : 1e6 * unit;
        if (isFreeThreshold(context, quantity) && direction > 0) {
            // Up to where x1 - gamma is still resolved next to x1.
            const double room = context.smallestFailure - setup.estimate[quantity.index];
            const double closest = 1e-12 * std::fmax(std::fabs(context.smallestFailure), room);
            maxSpan = std::fmax(std::log(room / closest), 0.0);
        }
        const SideSearch search{c.s, setup.logLikelihood, setup.critical / 2, direction,
                                std::fmin(firstStep, maxSpan / 2), maxSpan, tolerance};
        Coordinates start{};
        std::copy(setup.estimate, setup.estimate + maximumDistributionParameters, start.begin());
        Branch branch{profile, {c.s}, {start}, hasTangent ? &tangent : nullptr};
        sides[side] = sideOf(setup, quantity, findProfileSide(branch, search), direction);
    }
    if (fallsWithCoordinate(context, quantity))
        return {sides[1], sides[0]};
    return {sides[0], sides[1]};
}

} // namespace lifedata

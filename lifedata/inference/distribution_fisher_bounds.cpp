// The delta method in the fit coordinates, on the scale each quantity's bounds are given on.
#include "distribution_fisher_bounds.h"

#include <cmath>
#include <limits>

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

bool heldAtBoundary(const QuantityContext& context, std::size_t i)
{
    return i == context.distribution->locationIndex() && !context.locationFree;
}

double standardError(const ParameterCovariance& covariance, const double* gradient)
{
    const double g[3] = {gradient[0], gradient[1], gradient[2]};
    return std::sqrt(deltaMethodVariance(covariance, g));
}

ConfidenceInterval numbers(double lower, double upper) { return {{lower, ""}, {upper, ""}}; }

ConfidenceInterval parameterBounds(const QuantityContext& context, std::size_t i, const double* p,
                                   const ParameterCovariance& covariance, double z)
{
    if (heldAtBoundary(context, i))
        return numbers(notANumber, notANumber);
    const double se = std::sqrt(covariance.c[i][i]);
    if (context.distribution->positiveParameter(i))
        return numbers(std::exp(p[i] - z * se), std::exp(p[i] + z * se));
    return numbers(p[i] - z * se, p[i] + z * se);
}

ConfidenceInterval bLifeBounds(const QuantityContext& context, double percent, const double* p,
                               const ParameterCovariance& covariance, double z)
{
    double gradient[maximumDistributionParameters] = {};
    const double t = context.distribution->quantile(percent / 100, p, gradient);
    if (context.distribution->allowsNegativeTimes()) {
        const double se = standardError(covariance, gradient);
        return numbers(t - z * se, t + z * se);
    }
    const double gamma = locationOf(context, p);
    const double above = t - gamma;
    if (!(above > 0))
        return numbers(notANumber, notANumber);
    const std::size_t g = context.distribution->locationIndex();
    if (g != noParameter && context.locationFree)
        gradient[g] -= 1;
    for (double& component : gradient)
        component /= above;
    const double se = standardError(covariance, gradient);
    return numbers(gamma + above * std::exp(-z * se), gamma + above * std::exp(z * se));
}

} // namespace

bool distributionCovariance(const QuantityContext& context, const double (&hessian)[3][3],
                            ParameterCovariance& covariance)
{
    // The free coordinates first, so that the leading block is theirs.
    const std::size_t count = context.distribution->parameterCount();
    int order[3] = {};
    int size = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!heldAtBoundary(context, i))
            order[size++] = static_cast<int>(i);
    }
    double h[3][3] = {};
    for (int a = 0; a < size; ++a) {
        for (int b = 0; b < size; ++b)
            h[a][b] = hessian[order[a]][order[b]];
    }
    ParameterCovariance leading;
    if (!covarianceFromHessian(h, size, leading))
        return false;
    covariance = ParameterCovariance{};
    covariance.size = static_cast<int>(count);
    for (int a = 0; a < size; ++a) {
        for (int b = 0; b < size; ++b)
            covariance.c[order[a]][order[b]] = leading.c[a][b];
    }
    return true;
}

ConfidenceInterval fisherDistributionBounds(const QuantityContext& context, const DistributionQuantity& quantity,
                                            const double* p, const ParameterCovariance& covariance, double z)
{
    switch (quantity.kind) {
    case QuantityKind::parameter:
        return parameterBounds(context, quantity.index, p, covariance, z);
    case QuantityKind::bLife:
        return bLifeBounds(context, quantity.argument, p, covariance, z);
    case QuantityKind::reliability: {
        const QuantityCoordinate c = quantityCoordinate(context, quantity, p);
        if (!c.defined)
            return numbers(notANumber, notANumber);
        const double se = standardError(covariance, c.gradient);
        const double a = quantityAt(context, quantity, c.s - z * se, p);
        const double b = quantityAt(context, quantity, c.s + z * se, p);
        return numbers(std::fmin(a, b), std::fmax(a, b));
    }
    }
    return numbers(notANumber, notANumber);
}

} // namespace lifedata

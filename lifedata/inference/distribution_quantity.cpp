// Coordinates of a distribution's quantities, written once for every family through its interface.
#include "distribution_quantity.h"

#include <cmath>

namespace lifedata {

namespace {

bool isThreshold(const QuantityContext& context, std::size_t i) { return i == context.distribution->locationIndex(); }

// A B-life is written linearly where it may be negative or where it moves with a free location.
bool linearBLife(const QuantityContext& context)
{
    return context.distribution->allowsNegativeTimes() || context.locationFree;
}

// ln R(t) with its gradient; the reliability's own value and the basis of the logit.
PointTerms survivalTerms(const QuantityContext& context, double t, const double* p)
{
    return context.distribution->logSurvival(t, p, 1);
}

} // namespace

double locationOf(const QuantityContext& context, const double* p)
{
    const std::size_t g = context.distribution->locationIndex();
    return g == noParameter ? 0.0 : p[g];
}

QuantityCoordinate quantityCoordinate(const QuantityContext& context, const DistributionQuantity& quantity,
                                      const double* p)
{
    const Distribution& d = *context.distribution;
    QuantityCoordinate c;
    switch (quantity.kind) {
    case QuantityKind::parameter:
        c.defined = true;
        if (isThreshold(context, quantity.index) && context.locationFree) {
            const double room = context.smallestFailure - p[quantity.index];
            c.s = -std::log(room);
            c.gradient[quantity.index] = 1 / room;
        } else {
            c.s = p[quantity.index];
            c.gradient[quantity.index] = 1;
        }
        return c;
    case QuantityKind::bLife: {
        const double t = d.quantile(quantity.argument / 100, p, c.gradient);
        c.defined = std::isfinite(t);
        if (linearBLife(context)) {
            c.s = t;
            return c;
        }
        const double above = t - locationOf(context, p);
        c.defined = c.defined && above > 0;
        c.s = std::log(above);
        for (double& g : c.gradient)
            g /= above;
        return c;
    }
    case QuantityKind::reliability: {
        const double t = quantity.argument;
        const PointTerms survival = survivalTerms(context, t, p);
        // R = 1 (at or below the location) or R = 0: no bounds, and no coordinate to carry them.
        if (!(survival.value < 0) || !std::isfinite(survival.value))
            return c;
        if (d.standardVariable(t, p, c.s, c.gradient)) {
            c.defined = std::isfinite(c.s);
            return c;
        }
        // The logit of R: ln R - ln F, with F(t) as the probability of (0, t].
        const PointTerms failure = d.logIntervalProbability(0, t, p, 1);
        c.defined = std::isfinite(failure.value);
        c.s = survival.value - failure.value;
        for (std::size_t i = 0; i < maximumDistributionParameters; ++i)
            c.gradient[i] = survival.gradient[i] - failure.gradient[i];
        return c;
    }
    }
    return c;
}

double quantityAt(const QuantityContext& context, const DistributionQuantity& quantity, double s, const double* p)
{
    const Distribution& d = *context.distribution;
    switch (quantity.kind) {
    case QuantityKind::parameter:
        if (isThreshold(context, quantity.index) && context.locationFree)
            return context.smallestFailure - std::exp(-s);
        return d.positiveParameter(quantity.index) ? std::exp(s) : s;
    case QuantityKind::bLife:
        return linearBLife(context) ? s : locationOf(context, p) + std::exp(s);
    case QuantityKind::reliability:
        return fallsWithCoordinate(context, quantity) ? d.standardSurvival(s) : 1 / (1 + std::exp(-s));
    }
    return s;
}

bool fallsWithCoordinate(const QuantityContext& context, const DistributionQuantity& quantity)
{
    if (quantity.kind != QuantityKind::reliability)
        return false;
    double u = 0;
    double gradient[maximumDistributionParameters] = {};
    const double p[maximumDistributionParameters] = {};
    // Whether the family has a standard variable does not depend on where it is asked: at time 1
    // with every coordinate 0 (unit scales, location 0).
    return context.distribution->standardVariable(1, p, u, gradient);
}

bool unitFreeCoordinate(const QuantityContext& context, const DistributionQuantity& quantity)
{
    switch (quantity.kind) {
    case QuantityKind::parameter:
        return context.distribution->positiveParameter(quantity.index) ||
               (isThreshold(context, quantity.index) && context.locationFree);
    case QuantityKind::bLife:
        return !linearBLife(context);
    case QuantityKind::reliability:
        return true;
    }
    return true;
}

double quantityValue(const QuantityContext& context, const DistributionQuantity& quantity, const double* p)
{
    const Distribution& d = *context.distribution;
    switch (quantity.kind) {
    case QuantityKind::parameter: {
        double parameters[maximumDistributionParameters] = {};
        d.fromCoordinates(p, parameters);
        return parameters[quantity.index];
    }
    case QuantityKind::bLife:
        return d.quantile(quantity.argument / 100, p, nullptr);
    case QuantityKind::reliability:
        return std::exp(survivalTerms(context, quantity.argument, p).value);
    }
    return 0;
}

} // namespace lifedata

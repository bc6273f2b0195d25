// Newton's method on the likelihood with one coordinate solved from the constraint. With the free
// coordinates theta and the solved one p_j(theta, s), the profile's gradient is l_a + l_j d_a with
// d_a = -q_a / q_j (q the quantity's coordinate), and its Hessian adds l_j times the derivative of d,
// taken by central differences: those need the constraint alone, never a pass over the data.
#include "distribution_profile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr int iterationLimit = 100;
constexpr int solveLimit = 60;
constexpr int halvingLimit = 40;
// A rise of the log-likelihood far below the 1e-6 of the drop to which a side is verified.
constexpr double negligibleGain = 1e-11;
// Below this predicted rise a Newton step is taken on trust, without a pass at its end: what the
// quadratic model misses is of the third order in the step, about gain^1.5 / sqrt(n) (some 1e-11
// and less), far below the rounding the side search resolves.
constexpr double trustedGain = 1e-6;

bool heldAtBoundary(const QuantityContext& context, std::size_t i)
{
    return i == context.distribution->locationIndex() && !context.locationFree;
}

// A location that is not a threshold (mu, the normal's mean): t_P and u move with it one for one
// (up to the scale), so the constraint fixes it directly.
bool plainLocation(const Distribution& d, std::size_t i)
{
    return !d.positiveParameter(i) && i != d.locationIndex();
}

// The coordinate a B-life or reliability constraint is solved for: a plain location, else the scale
// (the coordinate that moves ln(t_P - gamma) one for one), else the one the quantity moves most with.
std::size_t solvedCoordinate(const QuantityContext& context, const double* p)
{
    const Distribution& d = *context.distribution;
    const std::size_t count = d.parameterCount();
    for (std::size_t i = 0; i < count; ++i) {
        if (plainLocation(d, i))
            return i;
    }
    double gradient[maximumDistributionParameters] = {};
    const double above = d.quantile(0.5, p, gradient) - locationOf(context, p);
    std::size_t largest = noParameter;
    for (std::size_t i = 0; i < count; ++i) {
        if (!d.positiveParameter(i))
            continue;
        if (std::fabs(gradient[i] / above - 1) < 1e-6)
            return i;
        if (largest == noParameter || std::fabs(gradient[i]) > std::fabs(gradient[largest]))
            largest = i;
    }
    return largest;
}

// p with its solved coordinate set so that the quantity's coordinate is s; false where no value does.
bool solveConstraint(const DistributionProfile& profile, double s, double* p)
{
    const std::size_t j = profile.solved;
    if (profile.quantity.kind == QuantityKind::parameter) {
        const bool threshold = j == profile.context.distribution->locationIndex() && profile.context.locationFree;
        p[j] = threshold ? profile.context.smallestFailure - std::exp(-s) : s;
        return true;
    }
    QuantityCoordinate c = quantityCoordinate(profile.context, profile.quantity, p);
    for (int i = 0; i < solveLimit; ++i) {
        if (!c.defined || !(c.gradient[j] != 0))
            return false;
        const double residual = c.s - s;
        if (std::fabs(residual) <= 1e-14 * (1 + std::fabs(s)))
            return true;
        const double from = p[j];
        double step = -residual / c.gradient[j];
        // A step that leaves the quantity undefined or misses farther is halved.
        for (int h = 0;; ++h) {
            p[j] = from + step;
            const QuantityCoordinate next = quantityCoordinate(profile.context, profile.quantity, p);
            if (next.defined && std::fabs(next.s - s) < std::fabs(residual)) {
                c = next;
                break;
            }
            if (h == halvingLimit) {
                p[j] = from;
                return false;
            }
            step /= 2;
        }
    }
    return std::fabs(c.s - s) <= 1e-10 * (1 + std::fabs(s));
}

// d_a = dp_j/dtheta_a along the constraint, at p (which satisfies it).
bool constraintSlopes(const DistributionProfile& profile, const double* p, double* d)
{
    for (std::size_t a = 0; a < profile.freeCount; ++a)
        d[a] = 0;
    if (profile.quantity.kind == QuantityKind::parameter)
        return true;
    const QuantityCoordinate c = quantityCoordinate(profile.context, profile.quantity, p);
    if (!c.defined || !(c.gradient[profile.solved] != 0))
        return false;
    for (std::size_t a = 0; a < profile.freeCount; ++a)
        d[a] = -c.gradient[profile.free[a]] / c.gradient[profile.solved];
    return true;
}

struct Point {
    bool valid = false;
    double p[maximumDistributionParameters] = {};
    PointTerms terms;
};

Point evaluate(const DistributionProfile& profile, double s, const double* from, int order)
{
    Point point;
    std::copy(from, from + maximumDistributionParameters, point.p);
    if (!solveConstraint(profile, s, point.p))
        return point;
    point.terms = profile.likelihood->evaluate(point.p, order);
    point.valid = std::isfinite(point.terms.value);
    return point;
}

double slopeOf(const DistributionProfile& profile, const Point& point)
{
    // dp_j/ds = 1/q_j along the constraint; the free coordinates are at their maximum.
    const QuantityCoordinate c = quantityCoordinate(profile.context, profile.quantity, point.p);
    return point.terms.gradient[profile.solved] / c.gradient[profile.solved];
}

// The Newton step in theta at `point`, with the rise of the likelihood it predicts in `gain`, or a
// scaled ascent step (and an infinite gain) where the profile's Hessian there is not negative definite.
bool newtonStep(const DistributionProfile& profile, double s, const Point& point, double* step, double& gain)
{
    const std::size_t n = profile.freeCount;
    const std::size_t j = profile.solved;
    const PointTerms& l = point.terms;
    double d[maximumDistributionParameters] = {};
    if (!constraintSlopes(profile, point.p, d))
        return false;
    double gradient[2] = {};
    double hessian[2][2] = {};
    for (std::size_t a = 0; a < n; ++a) {
        const std::size_t ia = profile.free[a];
        gradient[a] = l.gradient[ia] + l.gradient[j] * d[a];
        for (std::size_t b = 0; b < n; ++b) {
            const std::size_t ib = profile.free[b];
            hessian[a][b] = l.hessian[ia][ib] + l.hessian[ia][j] * d[b] + l.hessian[j][ib] * d[a] +
                            l.hessian[j][j] * d[a] * d[b];
        }
    }
    if (profile.quantity.kind != QuantityKind::parameter) {
        // The curvature of the constraint, by central differences of d.
        for (std::size_t b = 0; b < n; ++b) {
            const std::size_t ib = profile.free[b];
            const double h = 1e-5 * (1 + std::fabs(point.p[ib]));
            double plus[maximumDistributionParameters];
            double minus[maximumDistributionParameters];
            std::copy(point.p, point.p + maximumDistributionParameters, plus);
            std::copy(point.p, point.p + maximumDistributionParameters, minus);
            plus[ib] += h;
            minus[ib] -= h;
            double dPlus[maximumDistributionParameters] = {};
            double dMinus[maximumDistributionParameters] = {};
            if (!solveConstraint(profile, s, plus) || !solveConstraint(profile, s, minus) ||
                !constraintSlopes(profile, plus, dPlus) || !constraintSlopes(profile, minus, dMinus))
                continue;
            for (std::size_t a = 0; a < n; ++a)
                hessian[a][b] += l.gradient[j] * (dPlus[a] - dMinus[a]) / (2 * h);
        }
        if (n == 2)
            hessian[0][1] = hessian[1][0] = (hessian[0][1] + hessian[1][0]) / 2;
    }
    const bool negativeDefinite =
        n == 1 ? hessian[0][0] < 0
               : hessian[0][0] < 0 && hessian[0][0] * hessian[1][1] - hessian[0][1] * hessian[1][0] > 0;
    if (negativeDefinite) {
        if (n == 1) {
            step[0] = -gradient[0] / hessian[0][0];
        } else {
            const double det = hessian[0][0] * hessian[1][1] - hessian[0][1] * hessian[1][0];
            step[0] = -(hessian[1][1] * gradient[0] - hessian[0][1] * gradient[1]) / det;
            step[1] = -(hessian[0][0] * gradient[1] - hessian[1][0] * gradient[0]) / det;
        }
        gain = 0;
        for (std::size_t a = 0; a < n; ++a)
            gain += gradient[a] * step[a] / 2;
        return true;
    }
    gain = std::numeric_limits<double>::infinity();
    for (std::size_t a = 0; a < n; ++a) {
        const double curvature = std::fabs(hessian[a][a]);
        step[a] = curvature > 0 ? gradient[a] / curvature : 0.1 * (gradient[a] > 0 ? 1 : -1);
    }
    return true;
}

// The maximum the Newton step from `point` predicts: the step's end (with the constraint solved
// again), the value plus the predicted gain, and the slope from the gradient carried along by the
// Hessian. False where the step's end does not satisfy the constraint.
bool predictedMaximum(const DistributionProfile& profile, double s, const Point& point, const double* step,
                      double gain, HeldMaximum& result)
{
    double p[maximumDistributionParameters];
    std::copy(point.p, point.p + maximumDistributionParameters, p);
    for (std::size_t a = 0; a < profile.freeCount; ++a)
        p[profile.free[a]] += step[a];
    if (!solveConstraint(profile, s, p))
        return false;
    const std::size_t j = profile.solved;
    double gradient = point.terms.gradient[j];
    for (std::size_t i = 0; i < maximumDistributionParameters; ++i)
        gradient += point.terms.hessian[j][i] * (p[i] - point.p[i]);
    const QuantityCoordinate c = quantityCoordinate(profile.context, profile.quantity, p);
    if (!c.defined || !(c.gradient[j] != 0))
        return false;
    result.found = true;
    result.value = point.terms.value + gain;
    result.slope = gradient / c.gradient[j];
    std::copy(p, p + maximumDistributionParameters, result.p);
    return true;
}

} // namespace

DistributionProfile makeDistributionProfile(const QuantityContext& context, DistributionLikelihood& likelihood,
                                            const DistributionQuantity& quantity, const double* estimate)
{
    DistributionProfile profile{context, &likelihood, quantity, noParameter, 0, {}};
    profile.solved = quantity.kind == QuantityKind::parameter ? quantity.index : solvedCoordinate(context, estimate);
    const std::size_t count = context.distribution->parameterCount();
    for (std::size_t i = 0; i < count; ++i) {
        if (i != profile.solved && !heldAtBoundary(context, i))
            profile.free[profile.freeCount++] = i;
    }
    return profile;
}

HeldMaximum maximizeHeldQuantity(const DistributionProfile& profile, double s, const double* start)
{
    HeldMaximum result;
    if (profile.solved == noParameter)
        return result;
    Point point = evaluate(profile, s, start, 2);
    bool converged = profile.freeCount == 0;
    for (int iteration = 0; point.valid && !converged && iteration < iterationLimit; ++iteration) {
        double step[2] = {};
        double gain = 0;
        if (!newtonStep(profile, s, point, step, gain))
            break;
        // Where the step would raise the likelihood by less than the side search resolves, the
        // point is the maximum as far as any bound can tell.
        bool small = gain <= negligibleGain;
        bool tinyStep = true;
        for (std::size_t a = 0; a < profile.freeCount; ++a)
            tinyStep = tinyStep && std::fabs(step[a]) <= 1e-10 * (1 + std::fabs(point.p[profile.free[a]]));
        small = small || tinyStep;
        if (small) {
            converged = true;
            break;
        }
        if (gain <= trustedGain && predictedMaximum(profile, s, point, step, gain, result))
            return result;
        // Halve until the likelihood does not fall.
        Point next;
        double scale = 1;
        for (int h = 0; h <= halvingLimit; ++h, scale /= 2) {
            double trial[maximumDistributionParameters];
            std::copy(point.p, point.p + maximumDistributionParameters, trial);
            for (std::size_t a = 0; a < profile.freeCount; ++a)
                trial[profile.free[a]] += scale * step[a];
            next = evaluate(profile, s, trial, 2);
            if (next.valid && next.terms.value >= point.terms.value)
                break;
            next.valid = false;
        }
        // No step up at all: the rounding of the likelihood is reached at the maximum.
        if (!next.valid) {
            converged = true;
            break;
        }
        converged = next.terms.value - point.terms.value <= 1e-15 * std::fabs(point.terms.value) && scale < 1;
        point = next;
    }
    if (!point.valid || !converged)
        return result;
    result.found = true;
    result.value = point.terms.value;
    result.slope = slopeOf(profile, point);
    std::copy(point.p, point.p + maximumDistributionParameters, result.p);
    return result;
}

} // namespace lifedata

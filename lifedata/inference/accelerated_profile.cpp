// The embedding of the held quantity and the free coordinates into (ln m, a, b). For m, a and b
// the free coordinates are the two others. At a use stress x0 they are ln m and b, and
//   a = A - b x0 - K exp(-ln m)
// with (A, K) = (s, 0) for ln eta(x0), (s, ln(-ln(1 - P))) for ln t_P and (ln t, s) for u.
#include "accelerated_profile.h"

#include <cmath>
#include <vector>

#include "newton_maximum.h"

namespace lifedata {

namespace {

struct Embedded {
    double q[3];
    double jacobian[3][2]; // dq/dphi
    double aCurvature;     // d^2 a / d(ln m)^2, the one second derivative that is not 0
    double dqds[3];
};

bool atUseStress(AcceleratedQuantity quantity)
{
    return quantity == AcceleratedQuantity::eta || quantity == AcceleratedQuantity::bLife ||
           quantity == AcceleratedQuantity::reliability;
}

// The index in q of a held parameter.
int heldIndex(AcceleratedQuantity quantity)
{
    return quantity == AcceleratedQuantity::shape ? 0 : quantity == AcceleratedQuantity::intercept ? 1 : 2;
}

Embedded embed(const HeldAcceleratedQuantity& held, double s, const double (&phi)[2])
{
    Embedded e{};
    if (!atUseStress(held.quantity)) {
        const int fixed = heldIndex(held.quantity);
        for (int i = 0, free = 0; i < 3; ++i) {
            if (i == fixed) {
                e.q[i] = s;
                e.dqds[i] = 1;
            } else {
                e.q[i] = phi[free];
                e.jacobian[i][free++] = 1;
            }
        }
        return e;
    }
    const bool reliability = held.quantity == AcceleratedQuantity::reliability;
    const double base = reliability ? held.argument : s;
    const double k = reliability ? s : held.quantity == AcceleratedQuantity::bLife ? held.argument : 0;
    const double inverseM = std::exp(-phi[0]);
    e.q[0] = phi[0];
    e.q[1] = base - phi[1] * held.x - k * inverseM;
    e.q[2] = phi[1];
    e.jacobian[0][0] = 1;
    e.jacobian[1][0] = k * inverseM;
    e.jacobian[1][1] = -held.x;
    e.jacobian[2][1] = 1;
    e.aCurvature = -k * inverseM;
    e.dqds[1] = reliability ? -inverseM : 1;
    return e;
}

SmoothValue embeddedValue(const AcceleratedLikelihood& likelihood, const Embedded& e, int order)
{
    double g[3], h[3][3];
    SmoothValue result;
    result.value = likelihood.evaluate(e.q, order, g, h);
    if (order < 1)
        return result;
    result.gradient.assign(2, 0.0);
    result.hessian.assign(4, 0.0);
    for (int i = 0; i < 2; ++i) {
        for (int r = 0; r < 3; ++r)
            result.gradient[i] += e.jacobian[r][i] * g[r];
        for (int j = 0; j < 2; ++j) {
            double sum = 0;
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    sum += e.jacobian[r][i] * h[r][c] * e.jacobian[c][j];
            result.hessian[2 * i + j] = sum;
        }
    }
    result.hessian[0] += g[1] * e.aCurvature;
    return result;
}

} // namespace

double heldValue(const HeldAcceleratedQuantity& held, const double (&q)[3])
{
    const double lnEta = q[1] + q[2] * held.x;
    switch (held.quantity) {
    case AcceleratedQuantity::eta:
        return lnEta;
    case AcceleratedQuantity::bLife:
        return lnEta + held.argument * std::exp(-q[0]);
    case AcceleratedQuantity::reliability:
        return std::exp(q[0]) * (held.argument - lnEta);
    default:
        return q[heldIndex(held.quantity)];
    }
}

AcceleratedProfile::AcceleratedProfile(const AcceleratedLikelihood& likelihood, const HeldAcceleratedQuantity& held,
                                       const double (&estimate)[3])
    : likelihood_(likelihood), held_(held)
{
    if (atUseStress(held.quantity)) {
        startFree_[0] = estimate[0];
        startFree_[1] = estimate[2];
    } else {
        const int fixed = heldIndex(held.quantity);
        for (int i = 0, free = 0; i < 3; ++i) {
            if (i != fixed)
                startFree_[free++] = estimate[i];
        }
    }
    lastFree_[0] = startFree_[0];
    lastFree_[1] = startFree_[1];
}

ProfileValue AcceleratedProfile::operator()(double s)
{
    const auto objective = [&](const std::vector<double>& phi, int order) {
        const double free[2] = {phi[0], phi[1]};
        return embeddedValue(likelihood_, embed(held_, s, free), order);
    };
    // From the last maximum, and where that fails from the estimate's free coordinates.
    for (const double* start : {lastFree_, startFree_}) {
        const AscentResult ascent = maximiseByNewton(objective, {start[0], start[1]});
        if (!ascent.converged)
            continue;
        lastFree_[0] = ascent.point[0];
        lastFree_[1] = ascent.point[1];
        const double free[2] = {ascent.point[0], ascent.point[1]};
        const Embedded e = embed(held_, s, free);
        double g[3], h[3][3];
        const double value = likelihood_.evaluate(e.q, 1, g, h);
        return {value, g[0] * e.dqds[0] + g[1] * e.dqds[1] + g[2] * e.dqds[2]};
    }
    return {NAN, NAN};
}

} // namespace lifedata

// The held quantity fixes one parameter, or ties ln eta to the others: for a B-life t_P and for a
// reliability's u both are ln eta = ln(T - gamma) - K / m, with (T, K) = (t_P, ln w) or (t, u). The
// derivatives in the free coordinates follow by the chain rule from the likelihood's own in
// (ln m, ln eta, gamma), with the second derivatives of that tie where it is not linear.
//
// A three-parameter B-life frees lambda = ln(t_P - gamma) rather than gamma: for a small percent
// t_P - gamma is far below the rounding of gamma, and only its logarithm keeps it resolved.
#include "constrained_profile.h"

#include <cmath>
#include <limits>

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
// A Newton step that would raise the log-likelihood by less than this ends the maximisation: it is
// far below the 1e-6 of the drop to which a side is verified, and the steps after it only chase the
// rounding of the sums, a pass over the data each.
constexpr double negligibleGain = 1e-11;

double lnW(double percent) { return std::log(-std::log1p(-percent / 100)); }

// t_P - gamma = eta w^(1/m).
double bLifeAbove(const ProfileProblem& problem, double m, double eta)
{
    return eta * std::exp(lnW(problem.percent) / m);
}

// Where the free point puts the parameters p = (ln m, ln eta, gamma), with the derivatives of p in
// the free coordinates (J), the second derivatives of ln eta in them, and the derivative of p in s.
struct Mapping {
    int size;                // free coordinates: 1 (two parameters) or 2
    double p[3];
    double J[3][2];
    double etaSecond[2][2];
    double gammaSecond[2][2];
    double ds[3];
    double gammaLimit;       // gamma stays below this (three parameters)
};

// ln eta = ln(T - gamma) - K e^-a, T fixed or, for a two-parameter B-life, ln(T - gamma) = s.
void tieScale(Mapping& map, double lnAbove, double above, double K, bool gammaFree)
{
    const double a = map.p[0];
    const double e = std::exp(-a);
    map.p[1] = lnAbove - K * e;
    map.J[0][0] = 1;
    map.J[1][0] = K * e;
    map.etaSecond[0][0] = -K * e;
    if (gammaFree) {
        map.J[1][1] = -1 / above;
        map.J[2][1] = 1;
        map.etaSecond[1][1] = -1 / (above * above);
    }
}

Mapping mapPoint(const ProfileProblem& problem, double s, const FreePoint& free)
{
    Mapping map{};
    const bool three = problem.threeParameter;
    map.size = three ? 2 : 1;
    map.gammaLimit = problem.smallestFailure;
    const double* t = free.theta;
    switch (problem.quantity) {
    case HeldQuantity::shape:
        map.p[0] = s;
        map.p[1] = t[0];
        map.p[2] = three ? t[1] : problem.gamma;
        map.J[1][0] = 1;
        map.J[2][1] = 1;
        map.ds[0] = 1;
        break;
    case HeldQuantity::scale:
        map.p[0] = t[0];
        map.p[1] = s;
        map.p[2] = three ? t[1] : problem.gamma;
        map.J[0][0] = 1;
        map.J[2][1] = 1;
        map.ds[1] = 1;
        break;
    case HeldQuantity::location:
        map.size = 2;
        map.p[0] = t[0];
        map.p[1] = t[1];
        map.p[2] = problem.smallestFailure - std::exp(-s);
        map.J[0][0] = 1;
        map.J[1][1] = 1;
        map.ds[2] = std::exp(-s);
        break;
    case HeldQuantity::bLife: {
        map.p[0] = t[0];
        const double K = lnW(problem.percent);
        if (three) {
            // ln eta = lambda - K e^-a, gamma = t_P - e^lambda.
            const double above = std::exp(t[1]);
            map.p[2] = s - above;
            tieScale(map, t[1], above, K, false);
            map.J[1][1] = 1;
            map.J[2][1] = -above;
            map.gammaSecond[1][1] = -above;
            map.ds[2] = 1;
        } else {
            map.p[2] = problem.gamma;
            tieScale(map, s, std::exp(s), K, false);
            map.ds[1] = 1;
        }
        break;
    }
    case HeldQuantity::reliability: {
        map.p[0] = t[0];
        map.p[2] = three ? t[1] : problem.gamma;
        const double above = problem.time - map.p[2];
        tieScale(map, std::log(above), above, s, three);
        map.ds[1] = -std::exp(-t[0]);
        if (three)
            map.gammaLimit = std::fmin(map.gammaLimit, problem.time);
        break;
    }
    }
    return map;
}

// Whether the second free coordinate is gamma itself, a time, rather than a logarithm.
bool secondIsGamma(const ProfileProblem& problem)
{
    return problem.threeParameter && problem.quantity != HeldQuantity::location &&
           problem.quantity != HeldQuantity::bLife;
}

struct FreeDerivatives {
    double value;
    double gradient[2];
    double hessian[2][2];
    double slope; // in s
};

FreeDerivatives evaluateFree(const ProfileProblem& problem, double s, const FreePoint& free, int order)
{
    const Mapping map = mapPoint(problem, s, free);
    FreeDerivatives out{};
    if (problem.threeParameter && !(map.p[2] < map.gammaLimit)) {
        out.value = -std::numeric_limits<double>::infinity();
        return out;
    }
    const LikelihoodDerivatives l =
        problem.likelihood->evaluate(std::exp(map.p[0]), std::exp(map.p[1]), map.p[2], order);
    out.value = l.value;
    if (order == 0 || !std::isfinite(l.value))
        return out;
    for (int i = 0; i < map.size; ++i) {
        out.gradient[i] = 0;
        for (int k = 0; k < 3; ++k)
            out.gradient[i] += map.J[k][i] * l.gradient[k];
        for (int j = 0; j < map.size; ++j) {
            double sum = l.gradient[1] * map.etaSecond[i][j] + l.gradient[2] * map.gammaSecond[i][j];
            for (int k = 0; k < 3; ++k) {
                for (int n = 0; n < 3; ++n)
                    sum += map.J[k][i] * l.hessian[k][n] * map.J[n][j];
            }
            out.hessian[i][j] = sum;
        }
    }
    out.slope = l.gradient[0] * map.ds[0] + l.gradient[1] * map.ds[1] + l.gradient[2] * map.ds[2];
    return out;
}

// The ascent direction: the Newton step where minus the Hessian is positive definite, else the step
// of minus the Hessian shifted until it is (a step toward the gradient's side).
bool ascentStep(const FreeDerivatives& d, int size, double (&step)[2])
{
    double shift = 0;
    const double trace = std::fabs(d.hessian[0][0]) + (size == 2 ? std::fabs(d.hessian[1][1]) : 0);
    for (int attempt = 0; attempt < 60; ++attempt) {
        const double a = -d.hessian[0][0] + shift;
        if (size == 1) {
            if (a > 0) {
                step[0] = d.gradient[0] / a;
                return shift == 0;
            }
        } else {
            const double b = -d.hessian[0][1];
            const double c = -d.hessian[1][1] + shift;
            const double det = a * c - b * b;
            if (a > 0 && det > 0) {
                step[0] = (c * d.gradient[0] - b * d.gradient[1]) / det;
                step[1] = (a * d.gradient[1] - b * d.gradient[0]) / det;
                return shift == 0;
            }
        }
        shift = shift == 0 ? 1e-8 * (trace + 1) : shift * 10;
    }
    step[0] = step[1] = 0;
    return false;
}

// The rise of the log-likelihood the quadratic model predicts for a Newton step.
double predictedGain(const FreeDerivatives& d, int size, const double (&step)[2])
{
    double gain = 0;
    for (int i = 0; i < size; ++i)
        gain += d.gradient[i] * step[i] / 2;
    return gain;
}

} // namespace

double heldCoordinate(const ProfileProblem& problem, double m, double eta, double gamma)
{
    switch (problem.quantity) {
    case HeldQuantity::shape:
        return std::log(m);
    case HeldQuantity::scale:
        return std::log(eta);
    case HeldQuantity::location:
        return -std::log(problem.smallestFailure - gamma);
    case HeldQuantity::bLife:
        return problem.threeParameter ? gamma + bLifeAbove(problem, m, eta) : std::log(bLifeAbove(problem, m, eta));
    case HeldQuantity::reliability:
        return problem.time > gamma ? m * (std::log(problem.time - gamma) - std::log(eta)) : notANumber;
    }
    return notANumber;
}

double heldQuantity(const ProfileProblem& problem, double s)
{
    switch (problem.quantity) {
    case HeldQuantity::shape:
    case HeldQuantity::scale:
        return std::exp(s);
    case HeldQuantity::location:
        return problem.smallestFailure - std::exp(-s);
    case HeldQuantity::bLife:
        return problem.threeParameter ? s : problem.gamma + std::exp(s);
    case HeldQuantity::reliability:
        return std::exp(-std::exp(s));
    }
    return notANumber;
}

FreePoint freeCoordinates(const ProfileProblem& problem, double m, double eta, double gamma)
{
    switch (problem.quantity) {
    case HeldQuantity::shape:
        return {{std::log(eta), gamma}};
    case HeldQuantity::location:
        return {{std::log(m), std::log(eta)}};
    case HeldQuantity::bLife:
        return {{std::log(m), problem.threeParameter ? std::log(bLifeAbove(problem, m, eta)) : gamma}};
    case HeldQuantity::scale:
    case HeldQuantity::reliability:
        return {{std::log(m), gamma}};
    }
    return {{notANumber, notANumber}};
}

ConstrainedMaximum maximizeHeld(const ProfileProblem& problem, double s, const FreePoint& start, int iterationLimit)
{
    const ConstrainedMaximum none{false, notANumber, notANumber, start};
    const int size = mapPoint(problem, s, start).size;

    FreePoint point = start;
    FreeDerivatives d = evaluateFree(problem, s, point, 2);
    if (!std::isfinite(d.value))
        return none;
    for (int iteration = 0; iteration < iterationLimit; ++iteration) {
        double step[2] = {0, 0};
        const bool newton = ascentStep(d, size, step);
        if (newton && predictedGain(d, size, step) <= negligibleGain)
            return {true, d.value, d.slope, point};
        double t = 1;
        if (problem.threeParameter) {
            // Never more than halfway to the limit of gamma in one step: the maximum followed is the
            // one near the start, not the unbounded rise at the limit.
            const Mapping map = mapPoint(problem, s, point);
            const double rise = map.J[2][0] * step[0] + map.J[2][1] * step[1];
            if (rise > 0)
                t = std::fmin(t, 0.5 * (map.gammaLimit - map.p[2]) / rise);
        }
        FreeDerivatives next{};
        FreePoint trial{};
        for (int halving = 0; halving < 60; ++halving, t /= 2) {
            trial = point;
            for (int i = 0; i < size; ++i)
                trial.theta[i] += t * step[i];
            next = evaluateFree(problem, s, trial, 2);
            if (next.value >= d.value)
                break;
        }
        if (!(next.value >= d.value))
            return newton ? ConstrainedMaximum{true, d.value, d.slope, point} : none;
        double largest = std::fabs(t * step[0]);
        if (size == 2)
            largest = std::fmax(largest, std::fabs(t * step[1]) / (secondIsGamma(problem) ? problem.scale : 1));
        point = trial;
        d = next;
        if (newton && largest <= 1e-13) {
            double check[2];
            if (!ascentStep(d, size, check))
                return none;
            return {true, d.value, d.slope, point};
        }
    }
    return none;
}

double branchDistance(const ProfileProblem& problem, double sFrom, const FreePoint& from, double sTo,
                      const FreePoint& to)
{
    const int size = mapPoint(problem, sFrom, from).size;
    double distance = std::fabs(to.theta[0] - from.theta[0]);
    if (size == 2 && !secondIsGamma(problem))
        distance = std::fmax(distance, std::fabs(to.theta[1] - from.theta[1]));
    if (problem.threeParameter && problem.quantity != HeldQuantity::location) {
        const Mapping a = mapPoint(problem, sFrom, from);
        const Mapping b = mapPoint(problem, sTo, to);
        distance = std::fmax(distance, std::fabs(std::log(b.gammaLimit - b.p[2]) - std::log(a.gammaLimit - a.p[2])));
    }
    return distance;
}

} // namespace lifedata

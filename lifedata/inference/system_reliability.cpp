// The series system of independent Weibull modes. Everything goes through the cumulative hazard
// H(t) = sum of H_k(t), H_k = ((t - gamma_k) / eta_k)^m_k: R = exp(-H), and u = ln H is the scale
// on which the delta method is taken, as for one Weibull, so that a single mode gets its own bounds.
#include "system_reliability.h"

#include <cmath>
#include <limits>

#include "normal_quantile.h"

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

bool wantsFisherBounds(BoundsChoice choice) { return choice == BoundsChoice::fisher || choice == BoundsChoice::both; }

double modeHazard(const WeibullEstimate& e, double t)
{
    return t > e.gamma ? std::pow((t - e.gamma) / e.eta, e.m) : 0.0;
}

// Summed in the modes' order, so that the result does not depend on anything else.
double cumulativeHazard(const std::vector<SystemMode>& modes, double t)
{
    double sum = 0;
    for (const SystemMode& mode : modes)
        sum += modeHazard(mode.estimate, t);
    return sum;
}

// The time at which one mode alone reaches the cumulative hazard h.
double modeTimeAtHazard(const WeibullEstimate& e, double h) { return e.gamma + e.eta * std::pow(h, 1 / e.m); }

// The variance of u = ln H at t, from the modes' blocks: dH_k in (m, eta, gamma) is
// H_k (ln(x / eta), -m / eta, -m / x) with x = t - gamma_k.
double varianceOfLogHazard(const std::vector<SystemMode>& modes, double t, double hazard)
{
    double variance = 0;
    for (const SystemMode& mode : modes) {
        const WeibullEstimate& e = mode.estimate;
        if (!(t > e.gamma))
            continue;
        const double x = t - e.gamma;
        const double h = modeHazard(e, t);
        const double gradient[3] = {h * std::log(x / e.eta), -h * e.m / e.eta, -h * e.m / x};
        ParameterCovariance block;
        block.size = mode.covarianceSize;
        for (int i = 0; i < block.size; ++i) {
            for (int j = 0; j < block.size; ++j)
                block.c[i][j] = mode.covariance[i][j];
        }
        variance += deltaMethodVariance(block, gradient);
    }
    return variance / (hazard * hazard);
}

// t du/dt = t (sum of H_k m_k / (t - gamma_k)) / H: how fast u moves with ln t.
double logHazardSlope(const std::vector<SystemMode>& modes, double t, double hazard)
{
    double sum = 0;
    for (const SystemMode& mode : modes) {
        const WeibullEstimate& e = mode.estimate;
        if (t > e.gamma)
            sum += modeHazard(e, t) * e.m / (t - e.gamma);
    }
    return t * sum / hazard;
}

ConfidenceInterval numbers(double lower, double upper) { return {{lower, ""}, {upper, ""}}; }

ConfidenceInterval reliabilityBounds(const std::vector<SystemMode>& modes, double t, double z)
{
    const double hazard = cumulativeHazard(modes, t);
    if (!(hazard > 0))
        return numbers(notANumber, notANumber);
    const double u = std::log(hazard);
    const double se = std::sqrt(varianceOfLogHazard(modes, t, hazard));
    return numbers(std::exp(-std::exp(u + z * se)), std::exp(-std::exp(u - z * se)));
}

// The B-life's u is fixed at ln(-ln(1 - P)), so d ln t_P = -du / (t du/dt): the delta method on u
// carried over to ln t_P.
ConfidenceInterval bLifeBounds(const std::vector<SystemMode>& modes, double tP, double z)
{
    const double hazard = cumulativeHazard(modes, tP);
    if (!(tP > 0) || !(hazard > 0))
        return numbers(notANumber, notANumber);
    const double se = std::sqrt(varianceOfLogHazard(modes, tP, hazard)) / logHazardSlope(modes, tP, hazard);
    return numbers(std::exp(std::log(tP) - z * se), std::exp(std::log(tP) + z * se));
}

} // namespace

double systemHazard(const std::vector<SystemMode>& modes, double t) { return cumulativeHazard(modes, t); }

double systemReliability(const std::vector<SystemMode>& modes, double t) { return std::exp(-cumulativeHazard(modes, t)); }

double systemBLife(const std::vector<SystemMode>& modes, double percent)
{
    if (modes.empty())
        return notANumber;
    const double target = -std::log1p(-percent / 100);
    // H is at least every H_k, so the root is not after any mode's own time at the target; and at
    // the earliest time some mode reaches target / K, no mode is above it, so H is not above target.
    const double share = target / static_cast<double>(modes.size());
    double low = std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
    for (const SystemMode& mode : modes) {
        low = std::fmin(low, modeTimeAtHazard(mode.estimate, share));
        high = std::fmin(high, modeTimeAtHazard(mode.estimate, target));
    }
    // Bisection down to neighbouring doubles: H increases in t, and the steps are the same every run.
    for (;;) {
        const double middle = low + (high - low) / 2;
        if (!(middle > low && middle < high))
            break;
        (cumulativeHazard(modes, middle) < target ? low : high) = middle;
    }
    return std::fabs(cumulativeHazard(modes, low) - target) < std::fabs(cumulativeHazard(modes, high) - target) ? low
                                                                                                                : high;
}

SystemReliability inferSystem(const std::vector<SystemMode>& modes, const InferenceRequest& request)
{
    SystemReliability system;
    system.available = true;
    system.confidence = request.confidence;
    system.gamma = modes.empty() ? 0 : modes.front().estimate.gamma;
    for (const SystemMode& mode : modes)
        system.gamma = std::fmin(system.gamma, mode.estimate.gamma);
    bool covariances = true;
    for (const SystemMode& mode : modes)
        covariances = covariances && mode.covarianceSize > 0;
    const bool fisher = covariances && wantsFisherBounds(request.bounds);
    if (!covariances && wantsFisherBounds(request.bounds))
        system.fisherNote = "a mode's observed information is not positive definite: no Fisher bounds";
    const double z = normalQuantile((1 + request.confidence) / 2);
    for (double percent : request.bLifePercents) {
        BLifeBounds b{percent, estimateOnly(systemBLife(modes, percent))};
        b.bounds.hasFisher = fisher;
        if (fisher)
            b.bounds.fisher = bLifeBounds(modes, b.bounds.estimate, z);
        system.bLives.push_back(b);
    }
    for (double t : request.at) {
        ReliabilityBounds r{t, estimateOnly(systemReliability(modes, t))};
        r.bounds.hasFisher = fisher && cumulativeHazard(modes, t) > 0;
        if (r.bounds.hasFisher)
            r.bounds.fisher = reliabilityBounds(modes, t, z);
        system.reliability.push_back(r);
    }
    return system;
}

} // namespace lifedata

// The maximum-likelihood equation of the shape with `gamma` fixed, and the damped Newton iteration
// that solves it while showing its progress and honouring Stop.
#include "shape_newton.h"

#include <cmath>
#include <cstdint>

#include "estimation_state.h"
#include "host.h"
#include "number_text.h"
#include "per_value_work.h"

namespace {

constexpr int trialsPerStep = 64;
constexpr double relativeTolerance = 1.6e-15;
constexpr double divergenceBound = 1e154;
constexpr std::uint32_t monitorInterval = 500;

double reduced(std::uint32_t i) { return state.samples[i] - state.gamma; }

} // namespace

double mlShapeEquation(double m)
{
    const double N = static_cast<double>(state.n);
    const double nOverM = N / m;
    PowerSums sums;
    if (sumPowers(m, sums))
        return (sums.L + nOverM) - (N * sums.S1) / sums.S0;

    double L = 0, S1 = 0, S0 = 0;
    for (std::uint32_t i = 0; i < state.n; ++i) {
        const double x = reduced(i);
        const double lnX = std::log(x);
        const double xm = std::pow(x, m);
        L += lnX;
        S1 += xm * lnX;
        S0 += xm;
    }
    return (L + nOverM) - (N * S1) / S0;
}

double mlShapeDerivative(double m)
{
    const double N = static_cast<double>(state.n);
    double S0 = 0, S2 = 0, S1 = 0;
    PowerSums sums;
    if (sumPowers(m, sums)) {
        S0 = sums.S0;
        S2 = sums.S2;
        S1 = sums.S1;
    } else {
        for (std::uint32_t i = 0; i < state.n; ++i) {
            const double x = reduced(i);
            const double lnX = std::log(x);
            const double xm = std::pow(x, m);
            S0 += xm;
            S2 += xm * lnX * lnX;
            S1 += xm * lnX;
        }
    }
    const double ratio = S1 / S0;
    // The first term is deliberately not multiplied by n: the steeper slope damps every step.
    return ratio * ratio - N * S2 / S0 - N / (m * m);
}

namespace {

// Why the iteration stops before its next step, or `none` to take it. The tests run in this order
// so that a Stop is only looked at while the iteration is still going.
IterationEnding endingBeforeStep(double gm)
{
    if (gm == 0)
        return IterationEnding::converged;
    if (std::isnan(gm))
        return IterationEnding::notFinite;
    if (state.stopRequested.load() == 1)
        return IterationEnding::stopped;
    return IterationEnding::none;
}

} // namespace

double newtonSolve(double start, double (*g)(double), double (*slope)(double))
{
    std::uint32_t lastShown = hostTickCount();
    double m = start;
    double gm = g(m);

    for (;;) {
        const IterationEnding ending = endingBeforeStep(gm);
        if (ending != IterationEnding::none) {
            state.iterationEnding = ending;
            break;
        }
        double d = slope(m);
        if (d == 0 || std::isnan(d))
            d = 1.0;
        double step = gm / d;
        const double mOld = m;
        const double gOld = gm;

        int k = 0;
        while (k < trialsPerStep) {
            m = mOld - step;
            gm = g(m);
            const std::uint32_t now = hostTickCount();
            if (now - lastShown >= monitorInterval) {
                lastShown = now;
                hostSetFieldText(IDC_MONITOR_M, formatScientific(m, 6, 4).c_str());
                hostSetFieldText(IDC_MONITOR_G, formatScientific(gm, 6, 4).c_str());
            }
            if (!(std::fabs(gm) >= std::fabs(gOld)))
                break;
            step /= 2.0;
            ++k;
        }

        if (k == 0 && !(std::fabs(m - mOld) >= std::fabs(mOld * relativeTolerance))) {
            state.iterationEnding = IterationEnding::converged;
            break;
        }
        if (std::fabs(m) > divergenceBound) {
            state.iterationEnding = IterationEnding::diverged;
            break;
        }
        // Every trial failed and the halved step no longer moves m: the next step would repeat this
        // one exactly, for ever. Stop here with the m that Stop would have given.
        if (k == trialsPerStep && m == mOld && gm == gOld) {
            state.iterationEnding = IterationEnding::stepRepeating;
            break;
        }
    }
    return m;
}

const char* iterationEndingName(IterationEnding ending)
{
    switch (ending) {
    case IterationEnding::converged:
        return "converged";
    case IterationEnding::stopped:
        return "stopped";
    case IterationEnding::diverged:
        return "diverged";
    case IterationEnding::stepRepeating:
        return "step repeating";
    case IterationEnding::notFinite:
        return "not finite";
    case IterationEnding::none:
        break;
    }
    return "none";
}

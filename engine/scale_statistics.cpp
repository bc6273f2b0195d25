// The scale parameter and the statistics of the fitted distribution, with the gamma function they need.
#include "scale_statistics.h"

#include <cmath>
#include <limits>

#include "estimation_state.h"
#include "per_value_work.h"

namespace {

constexpr double pi = 3.141592653589793;
constexpr double shiftThreshold = 8.0;

// Stirling's coefficients B2k / (2k(2k-1)), each formed from the double of B2k.
const double stirling[8] = {
    (1.0 / 6.0) / 2.0,
    (-1.0 / 30.0) / 12.0,
    (1.0 / 42.0) / 30.0,
    (-1.0 / 30.0) / 56.0,
    (5.0 / 66.0) / 90.0,
    (-691.0 / 2730.0) / 132.0,
    (7.0 / 6.0) / 182.0,
    (-3617.0 / 510.0) / 240.0,
};

} // namespace

double scaleParameter(double m)
{
    // The sum of the powers is the S0 of the shape equation, usually just formed for this very m.
    PowerSums sums;
    if (sumPowers(m, sums))
        return sums.S0 / static_cast<double>(state.n);

    double sum = 0;
    for (std::uint32_t i = 0; i < state.n; ++i)
        sum += std::pow(state.samples[i] - state.gamma, m);
    return sum / static_cast<double>(state.n);
}

double gammaFunction(double x)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double v = 1.0;
    while (x < shiftThreshold) {
        // An argument this far below zero would shift for ever (or for longer than anyone waits);
        // its gamma value is meaningless to the statistics anyway.
        if (x + 1.0 == x || !std::isfinite(v))
            return nan;
        v = v * x;
        x = x + 1.0;
    }
    const double w = std::pow(x, -2.0);
    double s = stirling[7];
    for (int k = 6; k >= 0; --k)
        s = s * w + stirling[k];
    s = s / x;
    return std::exp((x - 0.5) * std::log(x) + (std::log(2.0 * pi) * 0.5 - std::log(v) - x + s));
}

void computeStatistics()
{
    const double m = state.m;
    const double eta = std::pow(state.t0, 1.0 / m);
    const double g1 = gammaFunction(1.0 + 1.0 / m);
    state.mu = state.gamma + eta * g1;
    state.sigma2 = std::pow(state.t0, 2.0 / m) * (gammaFunction(1.0 + 2.0 / m) - g1 * g1);
    state.xi = state.gamma + eta * std::pow(std::log(2.0), 1.0 / m);
    state.tm = m > 1 ? state.gamma + eta * std::pow(1.0 - 1.0 / m, 1.0 / m) : 0.0;
}

// The scale parameter and the statistics of the fitted distribution, with the gamma function they need.
#include "scale_statistics.h"

#include <bit>
#include <cmath>
#include <cstdint>

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

// The NaN that x86 arithmetic itself produces (sign set, quiet, no payload), shown as "-1.#IND...":
// the function's own NaNs are the same value the written arithmetic would have given.
const double indefinite = std::bit_cast<double>(std::uint64_t{0xFFF8000000000000});

// Once the product v of the shift is infinite or NaN, the factors still to come can only flip its sign
// (each negative one) or, a factor of exactly 0, make it NaN; positive factors leave it as it is.
// Below zero x + 1.0 is exact, so the negative factors are x, x + 1, ... up to the last below 0, and
// 0 is among them exactly when x is a whole number. This jumps over them at once, leaving the few
// positive factors (below 8) to the loop itself.
void skipNegativeFactors(double& v, double& x)
{
    const double negatives = std::ceil(-x);
    if (negatives == -x) {
        v = indefinite; // infinity times 0
        x = 0.0;
        return;
    }
    if (!std::isnan(v) && std::fmod(negatives, 2.0) == 1.0)
        v = -v;
    x = x + negatives;
}

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
    double v = 1.0;
    while (x < shiftThreshold) {
        // An argument where adding 1 changes nothing would shift for ever.
        if (x + 1.0 == x)
            return indefinite;
        if (!std::isfinite(v) && x < 0.0) {
            skipNegativeFactors(v, x);
            continue;
        }
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

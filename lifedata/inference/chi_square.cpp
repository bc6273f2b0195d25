// Quantiles by Halley's method on the tail whose probability is the smaller, inside a bracket that
// every step keeps, from the Wilson-Hilferty cube-root approximation (or, where its cube nears 0,
// the first term of the lower series). The tail is P(a, g) or Q(a, g) with a = k/2 and g = x/2.
#include "chi_square.h"

#include <cmath>
#include <limits>

#include "incomplete_gamma.h"
#include "normal_quantile.h"

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// A start for g: close for large a, and right in order of magnitude for small a or far tails.
double startingPoint(double a, double lowerProbability, double upperProbability)
{
    const double k = 2 * a;
    const double z = lowerProbability < upperProbability ? normalQuantile(lowerProbability)
                                                         : -normalQuantile(upperProbability);
    const double c = 2 / (9 * k);
    const double cube = 1 - c + z * std::sqrt(c);
    if (cube > 0.1)
        return a * cube * cube * cube;
    // P(a, g) ~ g^a / Gamma(a + 1) for small g; in logarithms, so that a tiny a does not overflow.
    // Only a start: beyond tgamma's range, Gamma(a + 1)^(1/a) is near enough to a/e.
    const double logGamma = a < 170 ? std::log(std::tgamma(a + 1)) : a * (std::log(a) - 1);
    return std::exp((std::log(lowerProbability) + logGamma) / a);
}

// The g whose lower tail (or upper tail) is `probability`, with `probability` at most 1/2.
double solveTail(double a, double probability, bool lowerTail, double start)
{
    // The tail as an increasing function of g: the lower tail, or minus the upper one.
    const auto excess = [&](double g) {
        const GammaTails tails = regularizedGamma(a, g);
        return lowerTail ? tails.lower - probability : probability - tails.upper;
    };
    double below = 0;        // excess < 0 here (or at 0)
    double above = infinity; // excess > 0 here
    double g = start;
    for (int iteration = 0; iteration < 200; ++iteration) {
        const double f = excess(g);
        if (f == 0)
            return g;
        (f < 0 ? below : above) = g;
        // Halley's step: f' is the density, and f''/f' = (a - 1)/g - 1.
        const double slope = gammaDensityFactor(a, g) / g;
        double next = g;
        if (slope > 0 && std::isfinite(slope)) {
            const double newton = f / slope;
            const double curvature = (a - 1) / g - 1;
            const double halley = newton / (1 - newton * curvature / 2);
            next = g - (std::isfinite(halley) && 1 - newton * curvature / 2 > 0.5 ? halley : newton);
        }
        // A step below the last digits ends the search; it is taken only if it stays in the bracket.
        if (std::fabs(next - g) <= 4 * std::numeric_limits<double>::epsilon() * g)
            return next > below && next < above ? next : g;
        if (!(next > below && next < above)) {
            // Outside the bracket: halve it, geometrically, or widen it where one side is still open.
            if (std::isinf(above))
                next = 2 * g;
            else if (below == 0)
                next = g / 2;
            else
                next = std::sqrt(below) * std::sqrt(above); // the product could underflow
        }
        g = next;
    }
    return g;
}

double quantile(double lowerProbability, double upperProbability, double k)
{
    if (!(k > 0) || !(lowerProbability >= 0 && upperProbability >= 0))
        return notANumber;
    if (lowerProbability == 0)
        return 0;
    if (upperProbability == 0)
        return infinity;
    const double a = k / 2;
    const double start = startingPoint(a, lowerProbability, upperProbability);
    const bool lowerTail = lowerProbability <= upperProbability;
    return 2 * solveTail(a, lowerTail ? lowerProbability : upperProbability, lowerTail, start);
}

} // namespace

double chiSquareQuantile(double p, double k)
{
    if (!(p >= 0 && p <= 1))
        return notANumber;
    return quantile(p, 1 - p, k);
}

double chiSquareUpperQuantile(double q, double k)
{
    if (!(q >= 0 && q <= 1))
        return notANumber;
    return quantile(1 - q, q, k);
}

double chiSquarePValue(double x, double k)
{
    if (std::isnan(x) || !(k > 0))
        return notANumber;
    if (x <= 0)
        return 1;
    return regularizedGamma(k / 2, x / 2).upper;
}

} // namespace lifedata

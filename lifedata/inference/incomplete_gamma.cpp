// P(a, x) by its power series below x = a + 1 and Q(a, x) by Legendre's continued fraction above,
// each times the factor x^a e^-x / Gamma(a). For large a that factor is written around its peak at
// x = a, as sqrt(a / 2 pi) exp(-a (y - ln(1 + y)) - s(a)) with y = x/a - 1 and s the remainder of
// Stirling's series, so that no digit is lost to the huge terms a ln x and ln Gamma(a) cancelling.
#include "incomplete_gamma.h"

#include <cmath>
#include <limits>

namespace lifedata {

namespace {

constexpr double epsilon = std::numeric_limits<double>::epsilon();
const double twoPi = 2 * std::acos(-1.0);

// From a = 10 on, Stirling's series to 1/a^13 is below the last digit; below it tgamma is exact enough.
constexpr double stirlingFrom = 10;

// y - ln(1 + y), with its small values (near the peak) to full relative accuracy.
double logExcess(double y)
{
    if (std::fabs(y) >= 0.25)
        return y - std::log1p(y);
    // y^2/2 - y^3/3 + y^4/4 - ..., summed until the terms no longer change the sum.
    double sum = 0;
    double power = -y;
    for (int k = 2; k < 200; ++k) {
        power *= -y;
        const double term = power / k;
        sum += term;
        if (std::fabs(term) <= std::fabs(sum) * epsilon / 4)
            break;
    }
    return sum;
}

// ln Gamma(a) - ((a - 1/2) ln a - a + ln(2 pi) / 2) for a >= stirlingFrom.
double stirlingRemainder(double a)
{
    const double r = 1 / (a * a);
    return (1.0 / 12 - r * (1.0 / 360 - r * (1.0 / 1260 - r * (1.0 / 1680 - r * (1.0 / 1188 -
                                                                                  r * (691.0 / 360360 - r / 156)))))) /
           a;
}

// The number of series or fraction terms that can be needed grows as sqrt(a) near the peak.
double termLimit(double a) { return 1000 + 50 * std::sqrt(a); }

// sum_{n >= 0} x^n / ((a + 1) ... (a + n)), so that P = factor / a * sum.
double lowerSeries(double a, double x)
{
    double term = 1;
    double sum = 1;
    const double limit = termLimit(a);
    for (double n = 1; n < limit; ++n) {
        term *= x / (a + n);
        sum += term;
        if (term <= sum * epsilon / 4)
            break;
    }
    return sum;
}

// The continued fraction 1 / (x + 1 - a - 1 (1 - a) / (x + 3 - a - 2 (2 - a) / ...)), by Lentz's
// method, so that Q = factor * fraction.
double upperFraction(double a, double x)
{
    constexpr double tiny = 1e-300;
    double b = x + 1 - a;
    double c = 1 / tiny;
    double d = 1 / b;
    double fraction = d;
    const double limit = termLimit(a);
    for (double n = 1; n < limit; ++n) {
        const double an = -n * (n - a);
        b += 2;
        d = an * d + b;
        if (std::fabs(d) < tiny)
            d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny)
            c = tiny;
        d = 1 / d;
        const double change = d * c;
        fraction *= change;
        if (std::fabs(change - 1) <= epsilon / 2)
            break;
    }
    return fraction;
}

} // namespace

double gammaDensityFactor(double a, double x)
{
    if (x == 0)
        return a < 1 ? std::numeric_limits<double>::infinity() : (a == 1 ? 1 : 0);
    if (std::isinf(x))
        return 0;
    if (a < stirlingFrom)
        return std::exp(a * std::log(x) - x) / std::tgamma(a);
    const double y = (x - a) / a;
    return std::sqrt(a / twoPi) * std::exp(-a * logExcess(y) - stirlingRemainder(a));
}

GammaTails regularizedGamma(double a, double x)
{
    if (!(a > 0) || !(x >= 0))
        return {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    if (x == 0)
        return {0, 1};
    const double factor = gammaDensityFactor(a, x);
    if (x < a + 1) {
        const double lower = factor / a * lowerSeries(a, x);
        return {lower, 1 - lower};
    }
    const double upper = factor * upperFraction(a, x);
    return {1 - upper, upper};
}

} // namespace lifedata

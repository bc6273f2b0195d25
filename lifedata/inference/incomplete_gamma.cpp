// P(a, x) by its power series below x = a + 1 and Q(a, x) by Legendre's continued fraction above,
// each times the factor x^a e^-x / Gamma(a). For large a that factor is written around its peak at
// x = a, as sqrt(a / 2 pi) exp(-a (y - ln(1 + y)) - s(a)) with y = x/a - 1 and s the remainder of
// Stirling's series, so that no digit is lost to the huge terms a ln x and ln Gamma(a) cancelling.
#include "incomplete_gamma.h"

#include <cmath>
#include <limits>

#include "normal_quantile.h"

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

// A number with its first and second derivatives in the shape a, carried through the series and the
// fraction below by the rules of differentiation.
struct Jet {
    double v, d, dd;
};

Jet operator+(const Jet& x, const Jet& y) { return {x.v + y.v, x.d + y.d, x.dd + y.dd}; }
Jet operator+(const Jet& x, double y) { return {x.v + y, x.d, x.dd}; }
Jet operator-(double x, const Jet& y) { return {x - y.v, -y.d, -y.dd}; }
Jet operator*(const Jet& x, const Jet& y) { return {x.v * y.v, x.d * y.v + x.v * y.d, x.dd * y.v + 2 * x.d * y.d + x.v * y.dd}; }
Jet operator*(double x, const Jet& y) { return {x * y.v, x * y.d, x * y.dd}; }
Jet operator/(const Jet& x, const Jet& y)
{
    const double q = x.v / y.v;
    const double dq = (x.d - q * y.d) / y.v;
    return {q, dq, (x.dd - 2 * dq * y.d - q * y.dd) / y.v};
}
Jet operator/(double x, const Jet& y) { return Jet{x, 0, 0} / y; }
Jet& operator*=(Jet& x, const Jet& y) { return x = x * y; }
Jet& operator+=(Jet& x, const Jet& y) { return x = x + y; }

double valueOf(double x) { return x; }
double valueOf(const Jet& x) { return x.v; }

// A series term that no longer changes the sum, nor (for a jet) its derivatives.
bool negligible(double term, double sum) { return term <= sum * epsilon / 4; }
bool negligible(const Jet& term, const Jet& sum)
{
    return term.v <= sum.v * epsilon / 4 && std::fabs(term.d) <= std::fabs(sum.d) * epsilon / 4 &&
           std::fabs(term.dd) <= std::fabs(sum.dd) * epsilon / 4;
}

// A fraction's factor that no longer changes it, nor (for a jet) the logarithm's derivatives.
bool settled(double change) { return std::fabs(change - 1) <= epsilon / 2; }
bool settled(const Jet& change)
{
    return std::fabs(change.v - 1) <= epsilon / 2 && std::fabs(change.d) <= epsilon && std::fabs(change.dd) <= epsilon;
}

// sum_{n >= 0} x^n / ((a + 1) ... (a + n)), so that P = factor / a * sum.
template <class Number>
Number lowerSeries(Number a, double x)
{
    Number term{1};
    Number sum{1};
    const double limit = termLimit(valueOf(a));
    for (double n = 1; n < limit; ++n) {
        term *= x / (a + n);
        sum += term;
        if (negligible(term, sum))
            break;
    }
    return sum;
}

// The continued fraction 1 / (x + 1 - a - 1 (1 - a) / (x + 3 - a - 2 (2 - a) / ...)), by Lentz's
// method, so that Q = factor * fraction.
template <class Number>
Number upperFraction(Number a, double x)
{
    constexpr double tiny = 1e-300;
    Number b = (x + 1) - a;
    Number c{1 / tiny};
    Number d = 1 / b;
    Number fraction = d;
    const double limit = termLimit(valueOf(a));
    for (double n = 1; n < limit; ++n) {
        const Number an = -n * (n - a);
        b += Number{2};
        d = an * d + b;
        if (std::fabs(valueOf(d)) < tiny)
            d = Number{tiny};
        c = b + an / c;
        if (std::fabs(valueOf(c)) < tiny)
            c = Number{tiny};
        d = 1 / d;
        const Number change = d * c;
        fraction *= change;
        if (settled(change))
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

namespace lifedata {

namespace {

// From here on the asymptotic series of digamma and trigamma are below the last digit.
constexpr double asymptoticFrom = 12;

// ln of x^a e^-x / Gamma(a), also where the factor itself underflows.
double logDensityFactor(const GammaShape& shape, double x)
{
    const double a = shape.a;
    if (a < stirlingFrom)
        return a * std::log(x) - x - shape.logGamma;
    return shape.logPeakScale - a * logExcess((x - a) / a) - shape.stirling;
}

LogGammaTail fromJet(const Jet& j) { return {j.v, j.d, j.dd}; }

// ln(1 - e^L) of a tail's logarithm L: the other tail.
LogGammaTail otherTail(const LogGammaTail& tail)
{
    const double r = std::exp(tail.value) / -std::expm1(tail.value); // this tail over the other
    return {std::log(-std::expm1(tail.value)), -r * tail.da, -r * tail.daa - r * (1 + r) * tail.da * tail.da};
}

// ln of a jet, by the chain rule.
Jet logOf(const Jet& j)
{
    const double d = j.d / j.v;
    return {std::log(j.v), d, j.dd / j.v - d * d};
}

} // namespace

double digamma(double a)
{
    double shift = 0;
    for (; a < asymptoticFrom; a += 1)
        shift -= 1 / a;
    const double r = 1 / (a * a);
    return shift + std::log(a) - 0.5 / a -
           r * (1.0 / 12 - r * (1.0 / 120 - r * (1.0 / 252 - r * (1.0 / 240 - r * (1.0 / 132 - r * 691.0 / 32760)))));
}

double trigamma(double a)
{
    double shift = 0;
    for (; a < asymptoticFrom; a += 1)
        shift += 1 / (a * a);
    const double r = 1 / (a * a);
    return shift + 1 / a + r / 2 +
           r / a * (1.0 / 6 - r * (1.0 / 30 - r * (1.0 / 42 - r * (1.0 / 30 - r * (5.0 / 66 - r * 691.0 / 2730)))));
}

GammaShape gammaShape(double a)
{
    GammaShape shape{a, std::lgamma(a), digamma(a), trigamma(a), 0, 0};
    if (a >= stirlingFrom) {
        shape.logPeakScale = 0.5 * std::log(a / twoPi);
        shape.stirling = stirlingRemainder(a);
    }
    return shape;
}

LogGammaTails logRegularizedGammaInShape(double a, double x) { return logRegularizedGammaInShape(gammaShape(a), x); }

LogGammaTails logRegularizedGammaInShape(const GammaShape& constants, double x)
{
    if (x == 0)
        return {{-std::numeric_limits<double>::infinity(), 0, 0}, {0, 0, 0}};
    const double a = constants.a;
    const Jet shape{a, 1, 0};
    const Jet factor{logDensityFactor(constants, x), std::log(x) - constants.digamma, -constants.trigamma};
    LogGammaTails tails;
    if (x < a + 1) {
        const Jet lower = factor + logOf(lowerSeries(shape, x)) + Jet{-std::log(a), -1 / a, 1 / (a * a)};
        tails.lower = fromJet(lower);
        tails.upper = otherTail(tails.lower);
    } else {
        tails.upper = fromJet(factor + logOf(upperFraction(shape, x)));
        tails.lower = otherTail(tails.upper);
    }
    return tails;
}

double inverseRegularizedGamma(double a, double P)
{
    if (!(P > 0 && P < 1) || !(a > 0))
        return P == 0 ? 0 : (P == 1 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN());
    // Newton's method on the smaller tail, in ln x, inside a bracket that each step narrows.
    const bool upper = P > 0.5;
    const double target = std::log(upper ? 1 - P : P);
    double low = 0, high = std::numeric_limits<double>::infinity();
    const double z = normalQuantile(P);
    const double wilson = a * std::pow(1 - 1 / (9 * a) + z / (3 * std::sqrt(a)), 3); // Wilson and Hilferty
    double x = wilson > 0 ? wilson : std::exp((std::log(P) + std::lgamma(a + 1)) / a);
    for (int iteration = 0; iteration < 200; ++iteration) {
        const GammaTails tails = regularizedGamma(a, x);
        const double tail = upper ? tails.upper : tails.lower;
        const double error = std::log(tail) - target; // > 0: x too small for the upper tail
        if ((error > 0) == upper)
            low = x;
        else
            high = x;
        // d ln(tail) / d ln x = +-(x times the density) / tail.
        const double slope = (upper ? -1 : 1) * gammaDensityFactor(a, x) / tail;
        double next = x * std::exp(-error / slope);
        if (!(next > low && next < high))
            next = std::isinf(high) ? 2 * x : (low + high) / 2;
        if (std::fabs(next - x) <= 4 * epsilon * x)
            return next;
        x = next;
    }
    return x;
}

} // namespace lifedata

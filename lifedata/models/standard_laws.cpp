// The three standard laws. The normal's far upper tail goes through Mills' ratio S0/f0 as a
// continued fraction, where erfc would underflow or lose its relative accuracy in the hazard.
#include "standard_laws.h"

#include <cmath>
#include <limits>

#include "normal_quantile.h"

namespace lifedata {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

class SmallestExtremeValue final : public StandardLaw {
public:
    LawTerms logDensity(double u) const override
    {
        const double v = std::exp(u);
        return {u - v, 1 - v, -v};
    }
    LawTerms logSurvival(double u) const override
    {
        const double v = std::exp(u);
        return {-v, -v, -v};
    }
    // ln F0 = ln(1 - exp(-v)), v = e^u. Its slope r = v / (e^v - 1) tends to 1 in the lower tail,
    // where 1 - r is formed from the series of e^v - 1 - v.
    LawTerms logDistribution(double u) const override
    {
        const double v = std::exp(u);
        if (v > 700)
            return {-std::exp(-v), 0, 0};
        const double em1 = std::expm1(v);
        const double r = v / em1;
        const double oneMinusR =
            v < 1e-3 ? v * v * (0.5 + v * (1.0 / 6 + v * (1.0 / 24 + v / 120))) / em1 : 1 - r;
        return {std::log(-std::expm1(-v)), r, r * (oneMinusR - v)};
    }
    double survival(double u) const override { return std::exp(-std::exp(u)); }
    double quantile(double P) const override { return std::log(-std::log1p(-P)); }
};

// ln of 1/sqrt(2 pi).
const double logNormalConstant = -0.5 * std::log(2 * std::acos(-1.0));

// Beyond this u the hazard comes from Mills' ratio.
constexpr double millsFrom = 5;

// Mills' ratio S0(u)/f0(u) = 1/(u + 1/(u + 2/(u + 3/(u + ...)))) for u >= millsFrom, evaluated from
// a depth at which it has settled to the last digit.
double millsRatio(double u)
{
    double tail = u;
    for (int n = 200; n >= 1; --n)
        tail = u + n / tail;
    return 1 / tail;
}

class Normal final : public StandardLaw {
public:
    LawTerms logDensity(double u) const override { return {logNormalConstant - u * u / 2, -u, -1}; }
    LawTerms logSurvival(double u) const override
    {
        double value, hazard;
        if (u >= millsFrom) {
            const double ratio = millsRatio(u);
            value = logNormalConstant - u * u / 2 + std::log(ratio);
            hazard = 1 / ratio;
        } else {
            const double s = 0.5 * std::erfc(u / std::sqrt(2.0));
            value = u < 0 ? std::log1p(-0.5 * std::erfc(-u / std::sqrt(2.0))) : std::log(s);
            hazard = std::exp(logNormalConstant - u * u / 2) / s;
        }
        return {value, -hazard, -hazard * (hazard - u)};
    }
    LawTerms logDistribution(double u) const override
    {
        const LawTerms mirrored = logSurvival(-u);
        return {mirrored.value, -mirrored.slope, mirrored.curvature};
    }
    double survival(double u) const override { return normalDistribution(-u); }
    double quantile(double P) const override { return normalQuantile(P); }
};

// ln(1 + e^x) without overflow.
double softplus(double x) { return x > 0 ? x + std::log1p(std::exp(-x)) : std::log1p(std::exp(x)); }

class Logistic final : public StandardLaw {
public:
    LawTerms logDensity(double u) const override
    {
        const double F = distribution(u), S = distribution(-u);
        return {-softplus(u) - softplus(-u), S - F, -2 * F * S};
    }
    LawTerms logSurvival(double u) const override
    {
        const double F = distribution(u), S = distribution(-u);
        return {-softplus(u), -F, -F * S};
    }
    LawTerms logDistribution(double u) const override
    {
        const double F = distribution(u), S = distribution(-u);
        return {-softplus(-u), S, -F * S};
    }
    double survival(double u) const override { return distribution(-u); }
    double quantile(double P) const override { return std::log(P) - std::log1p(-P); }

private:
    static double distribution(double u) { return u >= 0 ? 1 / (1 + std::exp(-u)) : std::exp(u) / (1 + std::exp(u)); }
};

} // namespace

const StandardLaw& smallestExtremeValueLaw()
{
    static const SmallestExtremeValue law;
    return law;
}

const StandardLaw& normalLaw()
{
    static const Normal law;
    return law;
}

const StandardLaw& logisticLaw()
{
    static const Logistic law;
    return law;
}

} // namespace lifedata

// With z = t/theta, ln f = k ln z - z - ln Gamma(k) - ln t, and ln S = ln Q(k, z), ln F = ln P(k, z).
// A tail's derivatives in k come from the incomplete gamma function's; those in z from the density
// over the tail, rho = z^(k-1) e^-z / (Gamma(k) tail), formed from logarithms so that it holds far out.
// In p = (ln k, ln theta): d/d ln k = k d/dk and d/d ln theta = -z d/dz.
#include "gamma_distribution.h"

#include <cmath>
#include <limits>

#include "incomplete_gamma.h"
#include "location_scale_distribution.h"
#include "log_probability_terms.h"

namespace lifedata {

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
const double logHalf = std::log(0.5);

// ln of P (lower) or Q (upper) at z with derivatives in p.
PointTerms tailTerms(const LogGammaTail& tail, bool upper, const GammaShape& shape, double z, int order)
{
    const double k = shape.a;
    PointTerms terms;
    terms.value = tail.value;
    if (order < 1 || !std::isfinite(tail.value))
        return terms;
    // ln(z^k e^-z / Gamma(k)) - ln z - ln tail, and its derivative in k.
    const double logFactor = k * std::log(z) - z - shape.logGamma;
    const double rho = std::exp(logFactor - std::log(z) - tail.value);
    const double factorDk = std::log(z) - shape.digamma;
    const double sign = upper ? -1 : 1;
    const double dz = sign * rho;
    terms.gradient[0] = k * tail.da;
    terms.gradient[1] = -z * dz;
    if (order < 2)
        return terms;
    const double dzz = sign * rho * ((k - 1) / z - 1) - rho * rho;
    const double dkz = sign * rho * (factorDk - tail.da);
    terms.hessian[0][0] = k * tail.da + k * k * tail.daa;
    terms.hessian[1][1] = z * dz + z * z * dzz;
    terms.hessian[0][1] = terms.hessian[1][0] = -k * z * dkz;
    return terms;
}

} // namespace

void GammaDistribution::toCoordinates(const double* parameters, double* p) const
{
    p[0] = std::log(parameters[0]);
    p[1] = std::log(parameters[1]);
}

void GammaDistribution::fromCoordinates(const double* p, double* parameters) const
{
    parameters[0] = std::exp(p[0]);
    parameters[1] = std::exp(p[1]);
}

namespace {

// ln f at t with the shape's constants and 1/theta formed once for many records.
PointTerms logDensityAt(double t, const GammaShape& shape, double inverseScale, const double* p, int order)
{
    PointTerms terms;
    if (!(t > 0)) {
        terms.value = -infinity;
        return terms;
    }
    const double k = shape.a;
    const double z = t * inverseScale;
    const double lnZ = std::log(t) - p[1];
    terms.value = k * lnZ - z - shape.logGamma - std::log(t);
    if (order < 1)
        return terms;
    const double psi = shape.digamma;
    terms.gradient[0] = k * (lnZ - psi);
    terms.gradient[1] = z - k;
    if (order < 2)
        return terms;
    terms.hessian[0][0] = k * (lnZ - psi) - k * k * shape.trigamma;
    terms.hessian[1][1] = -z;
    terms.hessian[0][1] = terms.hessian[1][0] = -k;
    return terms;
}

PointTerms logSurvivalAt(double t, const GammaShape& shape, double inverseScale, int order)
{
    if (!(t > 0))
        return PointTerms{};
    const double z = t * inverseScale;
    return tailTerms(logRegularizedGammaInShape(shape, z).upper, true, shape, z, order);
}

} // namespace

PointTerms GammaDistribution::logDensity(double t, const double* p, int order) const
{
    return logDensityAt(t, gammaShape(std::exp(p[0])), std::exp(-p[1]), p, order);
}

PointTerms GammaDistribution::logSurvival(double t, const double* p, int order) const
{
    return logSurvivalAt(t, gammaShape(std::exp(p[0])), std::exp(-p[1]), order);
}

// ln Gamma(k), its derivatives and 1/theta are the same for every record of a batch.
PointTerms GammaDistribution::sumLogDensities(const double* times, const double* counts, std::size_t count,
                                              const double* p, int order) const
{
    const GammaShape shape = gammaShape(std::exp(p[0]));
    const double inverseScale = std::exp(-p[1]);
    return sumWeightedTerms(times, counts, count, order,
                            [&](double t) { return logDensityAt(t, shape, inverseScale, p, order); });
}

PointTerms GammaDistribution::sumLogSurvivals(const double* times, const double* counts, std::size_t count,
                                              const double* p, int order) const
{
    const GammaShape shape = gammaShape(std::exp(p[0]));
    const double inverseScale = std::exp(-p[1]);
    return sumWeightedTerms(times, counts, count, order,
                            [&](double t) { return logSurvivalAt(t, shape, inverseScale, order); });
}

PointTerms GammaDistribution::logIntervalProbability(double a, double b, const double* p, int order) const
{
    const GammaShape shape = gammaShape(std::exp(p[0]));
    const double scale = std::exp(-p[1]);
    const double zb = b * scale;
    const LogGammaTails atB = logRegularizedGammaInShape(shape, zb);
    const PointTerms distributionB = tailTerms(atB.lower, false, shape, zb, order);
    if (!(a > 0))
        return distributionB;
    const double za = a * scale;
    const LogGammaTails atA = logRegularizedGammaInShape(shape, za);
    if (atA.upper.value > logHalf && distributionB.value <= logHalf)
        return logDifference(distributionB, tailTerms(atA.lower, false, shape, za, order), order);
    return logDifference(tailTerms(atA.upper, true, shape, za, order), tailTerms(atB.upper, true, shape, zb, order),
                         order);
}

// t_P = theta x_P with P(k, x_P) = P; x_P moves with k as -(dP/dk) / (dP/dx).
double GammaDistribution::quantile(double P, const double* p, double* gradient) const
{
    const double k = std::exp(p[0]);
    const double theta = std::exp(p[1]);
    const double x = inverseRegularizedGamma(k, P);
    const double t = theta * x;
    if (gradient != nullptr) {
        const LogGammaTails tails = logRegularizedGammaInShape(k, x);
        // dP/dk = P d ln P/dk (or -Q d ln Q/dk, from the smaller tail); dP/dx = x^(k-1) e^-x / Gamma(k).
        const double dPdk = P < 0.5 ? P * tails.lower.da : -(1 - P) * tails.upper.da;
        const double density = gammaDensityFactor(k, x) / x;
        gradient[0] = -k * theta * dPdk / density;
        gradient[1] = t;
    }
    return t;
}

bool GammaDistribution::standardVariable(double, const double*, double& u, double* gradient) const
{
    u = std::numeric_limits<double>::quiet_NaN();
    if (gradient != nullptr)
        gradient[0] = gradient[1] = u;
    return false;
}

double GammaDistribution::standardSurvival(double) const { return std::numeric_limits<double>::quiet_NaN(); }

// The lognormal plot's line, and the gamma of the same mean and variance:
// mean = exp(mu + sigma^2/2), k = 1 / (exp(sigma^2) - 1), theta = mean / k.
void GammaDistribution::startingCoordinates(const std::vector<PlotPoint>& points, double location, double* p) const
{
    const std::unique_ptr<Distribution> lognormal = makeDistribution("lognormal2");
    double line[maximumDistributionParameters] = {};
    lognormal->startingCoordinates(points, location, line);
    const double sigma2 = std::exp(2 * line[1]);
    const double k = 1 / std::expm1(sigma2);
    p[0] = std::log(k);
    p[1] = line[0] + sigma2 / 2 - p[0];
}

} // namespace lifedata

// Every term is first formed in q = (a, ln b, gamma) from u's derivatives and the law's, then carried
// to the family's p by renaming and a sign. An interval's probability is taken as S(a) (1 - S(b)/S(a))
// in the upper tail and F(b) (1 - F(a)/F(b)) in the lower, so that neither tail cancels.
#include "location_scale_distribution.h"

#include <cmath>
#include <limits>

#include "log_probability_terms.h"

namespace lifedata {

namespace {

constexpr std::size_t q = 3;
constexpr double infinity = std::numeric_limits<double>::infinity();
const double logHalf = std::log(0.5);

// The exponential's ln f = -a - x e^-a at x = 0, in q.
PointTerms exponentialDensityAtLocation(double a)
{
    PointTerms terms;
    terms.value = -a;
    terms.gradient[0] = -1;
    terms.gradient[2] = std::exp(-a);
    terms.hessian[0][2] = terms.hessian[2][0] = -std::exp(-a);
    return terms;
}

} // namespace

// u and ln |du/dt| at one time, with their derivatives in q. Of the second derivatives only those
// named are ever other than 0, and the record holds no more: one is formed for every record of every
// pass, and clearing a larger one cost more than its arithmetic.
struct LocationScaleDistribution::Standardized {
    bool inside = true; // t above gamma where h is ln
    double u = 0;
    double du[q] = {};
    double uAB = 0, uBB = 0, uBG = 0, uGG = 0; // d2u/da dln b, d2u/dln b^2, d2u/dln b dgamma, d2u/dgamma^2
    double logJacobian = 0;
    double jacobianB = 0, jacobianG = 0; // its derivatives in ln b and gamma
    double jacobianGG = 0;               // and its second in gamma
};

// value = L(u) with its derivatives in q, by the chain rule.
PointTerms LocationScaleDistribution::compose(const LawTerms& law, const Standardized& s, int order)
{
    const double(&du)[q] = s.du;
    const double d2u[q][q] = {{0, s.uAB, 0}, {s.uAB, s.uBB, s.uBG}, {0, s.uBG, s.uGG}};
    PointTerms terms;
    terms.value = law.value;
    if (order < 1)
        return terms;
    for (std::size_t i = 0; i < q; ++i)
        terms.gradient[i] = law.slope * du[i];
    if (order < 2)
        return terms;
    for (std::size_t i = 0; i < q; ++i)
        for (std::size_t j = 0; j < q; ++j)
            terms.hessian[i][j] = law.curvature * du[i] * du[j] + law.slope * d2u[i][j];
    return terms;
}

LocationScaleDistribution::Canonical LocationScaleDistribution::canonical(const double* p) const
{
    Canonical c;
    c.a = p[form_.aIndex];
    c.logB = form_.logScaleIndex == noParameter ? 0 : form_.logScaleSign * p[form_.logScaleIndex];
    c.gamma = form_.gammaIndex == noParameter ? 0 : p[form_.gammaIndex];
    c.inverseB = std::exp(-c.logB);
    return c;
}

LocationScaleDistribution::Standardized LocationScaleDistribution::standardize(double t, const Canonical& c,
                                                                             int order) const
{
    Standardized s;
    const double x = t - c.gamma;
    if (form_.logTime && !(x > 0)) {
        s.inside = false;
        s.u = -infinity;
        return s;
    }
    const double w = c.inverseB;
    const double h = form_.logTime ? std::log(x) : x;
    s.u = (h - c.a) * w;
    s.logJacobian = -c.logB + (form_.logTime ? -h : 0);
    if (order < 1)
        return s;
    s.du[0] = -w;
    s.du[1] = -s.u;
    s.jacobianB = -1;
    if (order >= 2) {
        s.uAB = w;
        s.uBB = s.u;
    }
    // The derivatives in gamma, and their divisions, only for a family that fits it: the others
    // drop them on the way to their coordinates.
    if (form_.gammaIndex == noParameter)
        return s;
    const double h1 = form_.logTime ? 1 / x : 1;          // h'(x)
    const double h2 = form_.logTime ? -1 / (x * x) : 0;   // h''(x)
    s.du[2] = -h1 * w;
    s.jacobianG = form_.logTime ? 1 / x : 0;
    if (order < 2)
        return s;
    s.uBG = h1 * w;
    s.uGG = h2 * w;
    s.jacobianGG = form_.logTime ? 1 / (x * x) : 0;
    return s;
}

PointTerms LocationScaleDistribution::toFitCoordinates(const PointTerms& terms) const
{
    const std::size_t index[q] = {form_.aIndex, form_.logScaleIndex, form_.gammaIndex};
    const double sign[q] = {1, form_.logScaleSign, 1};
    PointTerms result;
    result.value = terms.value;
    for (std::size_t i = 0; i < q; ++i) {
        if (index[i] == noParameter)
            continue;
        result.gradient[index[i]] = sign[i] * terms.gradient[i];
        for (std::size_t j = 0; j < q; ++j)
            if (index[j] != noParameter)
                result.hessian[index[i]][index[j]] = sign[i] * sign[j] * terms.hessian[i][j];
    }
    return result;
}

void LocationScaleDistribution::toCoordinates(const double* parameters, double* p) const
{
    for (std::size_t i = 0; i < form_.parameterCount; ++i)
        p[i] = form_.positive[i] ? std::log(parameters[i]) : parameters[i];
}

void LocationScaleDistribution::fromCoordinates(const double* p, double* parameters) const
{
    for (std::size_t i = 0; i < form_.parameterCount; ++i)
        parameters[i] = form_.positive[i] ? std::exp(p[i]) : p[i];
}

PointTerms LocationScaleDistribution::logDensity(double t, const double* p, int order) const
{
    return toFitCoordinates(qLogDensity(t, canonical(p), order));
}

PointTerms LocationScaleDistribution::logSurvival(double t, const double* p, int order) const
{
    return toFitCoordinates(qLogSurvival(t, canonical(p), order));
}

// The canonical coordinates and 1/b do not depend on the record, and the step to p only renames and
// flips signs, which commutes with the sums: both are done once for the whole batch.
PointTerms LocationScaleDistribution::sumLogDensities(const double* times, const double* counts, std::size_t count,
                                                      const double* p, int order) const
{
    const Canonical c = canonical(p);
    const PointTerms sums =
        sumWeightedTerms(times, counts, count, order, [&](double t) { return qLogDensity(t, c, order); });
    return sumsToFitCoordinates(sums, order);
}

PointTerms LocationScaleDistribution::sumLogSurvivals(const double* times, const double* counts, std::size_t count,
                                                      const double* p, int order) const
{
    const Canonical c = canonical(p);
    const PointTerms sums =
        sumWeightedTerms(times, counts, count, order, [&](double t) { return qLogSurvival(t, c, order); });
    return sumsToFitCoordinates(sums, order);
}

// Sums in q, of which addWeightedTerms keeps the upper half of the Hessian, as sums in p with the
// upper half alone, up to the order: the renaming may carry an entry across the diagonal.
PointTerms LocationScaleDistribution::sumsToFitCoordinates(PointTerms sums, int order) const
{
    for (std::size_t i = 0; i < q && order >= 2; ++i)
        for (std::size_t j = 0; j < i; ++j)
            sums.hessian[i][j] = sums.hessian[j][i];
    const PointTerms mapped = toFitCoordinates(sums);
    // What the order leaves out stays +0 rather than a sign's -0.
    PointTerms result;
    result.value = mapped.value;
    for (std::size_t i = 0; i < q && order >= 1; ++i) {
        result.gradient[i] = mapped.gradient[i];
        for (std::size_t j = i; j < q && order >= 2; ++j)
            result.hessian[i][j] = mapped.hessian[i][j];
    }
    return result;
}

PointTerms LocationScaleDistribution::qLogDensity(double t, const Canonical& c, int order) const
{
    if (form_.closedAtLocation && t == c.gamma)
        return exponentialDensityAtLocation(c.a);
    const Standardized s = standardize(t, c, order);
    if (!s.inside) {
        PointTerms outside;
        outside.value = -infinity;
        return outside;
    }
    PointTerms terms = compose(form_.law->logDensity(s.u), s, order);
    terms.value += s.logJacobian;
    const double dJacobian[q] = {0, s.jacobianB, s.jacobianG};
    const double d2Jacobian[q][q] = {{0, 0, 0}, {0, 0, 0}, {0, 0, s.jacobianGG}};
    for (std::size_t i = 0; i < q && order >= 1; ++i) {
        terms.gradient[i] += dJacobian[i];
        for (std::size_t j = 0; j < q && order >= 2; ++j)
            terms.hessian[i][j] += d2Jacobian[i][j];
    }
    return terms;
}

PointTerms LocationScaleDistribution::qLogSurvival(double t, const Canonical& c, int order) const
{
    const Standardized s = standardize(t, c, order);
    if (!s.inside)
        return PointTerms{}; // certain survival
    return compose(form_.law->logSurvival(s.u), s, order);
}

PointTerms LocationScaleDistribution::logIntervalProbability(double a, double b, const double* p, int order) const
{
    const Canonical c = canonical(p);
    const Standardized upper = standardize(b, c, order);
    if (!upper.inside) {
        PointTerms impossible;
        impossible.value = -infinity;
        return impossible;
    }
    const StandardLaw& law = *form_.law;
    const Standardized lower = standardize(a, c, order);
    const PointTerms distributionB = compose(law.logDistribution(upper.u), upper, order);
    if (!lower.inside)
        return toFitCoordinates(distributionB); // (a, b] starts at or below gamma: F(b)
    const PointTerms survivalA = compose(law.logSurvival(lower.u), lower, order);
    if (survivalA.value > logHalf && distributionB.value <= logHalf) {
        const PointTerms distributionA = compose(law.logDistribution(lower.u), lower, order);
        return toFitCoordinates(logDifference(distributionB, distributionA, order));
    }
    // In the upper tail, or a below the median and b above, where neither tail is small.
    const PointTerms survivalB = compose(law.logSurvival(upper.u), upper, order);
    return toFitCoordinates(logDifference(survivalA, survivalB, order));
}

double LocationScaleDistribution::quantile(double P, const double* p, double* gradient) const
{
    const Canonical c = canonical(p);
    const double uP = form_.law->quantile(P);
    const double b = std::exp(c.logB);
    const double v = c.a + b * uP;
    const double x = form_.logTime ? std::exp(v) : v;
    if (gradient != nullptr) {
        PointTerms terms;
        const double dxdv = form_.logTime ? x : 1;
        terms.gradient[0] = dxdv;
        terms.gradient[1] = dxdv * b * uP;
        terms.gradient[2] = 1;
        const PointTerms mapped = toFitCoordinates(terms);
        for (std::size_t i = 0; i < form_.parameterCount; ++i)
            gradient[i] = mapped.gradient[i];
    }
    return c.gamma + x;
}

bool LocationScaleDistribution::standardVariable(double t, const double* p, double& u, double* gradient) const
{
    const Standardized s = standardize(t, canonical(p), 1);
    u = s.u;
    if (gradient != nullptr) {
        PointTerms terms;
        for (std::size_t i = 0; i < q; ++i)
            terms.gradient[i] = s.du[i];
        const PointTerms mapped = toFitCoordinates(terms);
        for (std::size_t i = 0; i < form_.parameterCount; ++i)
            gradient[i] = mapped.gradient[i];
    }
    return true;
}

// Least squares of h(t - location) on the law's quantile of each point's unreliability: the line
// h = a + b u of the family's own paper.
void LocationScaleDistribution::startingCoordinates(const std::vector<PlotPoint>& points, double location,
                                                    double* p) const
{
    double n = 0, sumH = 0, sumU = 0;
    std::vector<double> hs, us;
    for (const PlotPoint& point : points) {
        const double x = point.time - location;
        if (form_.logTime && !(x > 0))
            continue;
        hs.push_back(form_.logTime ? std::log(x) : x);
        us.push_back(form_.law->quantile(point.unreliability));
        sumH += hs.back();
        sumU += us.back();
        n += 1;
    }
    const double meanH = sumH / n, meanU = sumU / n;
    double suu = 0, suh = 0, shh = 0;
    for (std::size_t i = 0; i < hs.size(); ++i) {
        suu += (us[i] - meanU) * (us[i] - meanU);
        suh += (us[i] - meanU) * (hs[i] - meanH);
        shh += (hs[i] - meanH) * (hs[i] - meanH);
    }
    double b = suh / suu;
    if (!(b > 0) || !std::isfinite(b))
        b = shh > 0 ? std::sqrt(shh / n) : 1; // a plot that does not rise: the spread of the times
    if (form_.logScaleIndex == noParameter)
        b = 1;
    const double a = meanH - b * meanU;
    p[form_.aIndex] = a;
    if (form_.logScaleIndex != noParameter)
        p[form_.logScaleIndex] = form_.logScaleSign * std::log(b);
    if (form_.gammaIndex != noParameter)
        p[form_.gammaIndex] = location;
}

} // namespace lifedata

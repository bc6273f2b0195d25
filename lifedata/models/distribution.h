// The one interface every lifetime distribution implements, so that the general likelihood, the
// general fit, the location search, the bounds, the B-lives and reliabilities, the mixture and the
// accelerated models, and the JSON and text writers serve every family without a copy per family.
//
// A distribution works in its fit coordinates p: each positive parameter on a log scale (ln eta,
// ln sigma, ln mean, ...), each location parameter (gamma, mu, the normal's mean) as it is. Every
// derivative below is in those coordinates. At most three parameters.
#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace lifedata {

constexpr std::size_t maximumDistributionParameters = 3;

// A value with its gradient and Hessian in p, filled up to the order asked for (0, 1 or 2); the rest
// is 0. Entries beyond parameterCount() stay 0.
struct PointTerms {
    double value = 0;
    double gradient[maximumDistributionParameters] = {};
    double hessian[maximumDistributionParameters][maximumDistributionParameters] = {};
};

// A point of a probability plot: a failure time and its estimated unreliability, 0 < F < 1.
struct PlotPoint {
    double time;
    double unreliability;
};

// sums += count * terms, up to `order`: the value, the gradient and the upper half of the Hessian
// (the lower half of `sums` is left alone).
void addWeightedTerms(PointTerms& sums, const PointTerms& terms, double count, int order);

// The sums of count times termAt(t) over a batch of records, from zero and record by record: what
// every family's batch sums are, whatever it forms once for the batch before.
template <class TermAt>
PointTerms sumWeightedTerms(const double* times, const double* counts, std::size_t count, int order,
                            const TermAt& termAt)
{
    PointTerms sums;
    for (std::size_t i = 0; i < count; ++i)
        addWeightedTerms(sums, termAt(times[i]), counts[i], order);
    return sums;
}

// Where an index names no parameter (a family without a free location, say).
constexpr std::size_t noParameter = static_cast<std::size_t>(-1);

class Distribution {
public:
    virtual ~Distribution() = default;

    // The name the options and the JSON use: "weibull2", "lognormal3", "exponential1", "normal", ...
    virtual const char* name() const = 0;
    virtual std::size_t parameterCount() const = 0;
    // The JSON name of parameter i: "m", "eta", "gamma", "mu", "sigma", "mean", "sd", "alpha", ...
    virtual const char* parameterName(std::size_t i) const = 0;
    // True for a parameter that is positive and so lies on a log scale in p (and in its Fisher bounds).
    virtual bool positiveParameter(std::size_t i) const = 0;
    // The index of the location gamma among the parameters, or noParameter.
    virtual std::size_t locationIndex() const = 0;
    // True where the model allows times at or below 0 (normal, sev): quantiles may then be negative,
    // and B-life bounds are t +- z se(t) rather than on a log scale of t - gamma.
    virtual bool allowsNegativeTimes() const = 0;
    // True where the density stays finite at t = gamma (the exponential): a failure may then sit at
    // the location itself, and the location's maximum may be the smallest failure.
    virtual bool densityFiniteAtLocation() const { return false; }

    // Between the parameters as reported and the fit coordinates.
    virtual void toCoordinates(const double* parameters, double* p) const = 0;
    virtual void fromCoordinates(const double* p, double* parameters) const = 0;

    // ln f(t) and ln S(t) with derivatives in p. ln f is -infinity outside the support (t below
    // gamma, or at it unless densityFiniteAtLocation()), ln S is 0 there.
    virtual PointTerms logDensity(double t, const double* p, int order) const = 0;
    virtual PointTerms logSurvival(double t, const double* p, int order) const = 0;
    // The sums of count times ln f(t), or ln S(t), over `count` records, from zero and record by
    // record in their order as addWeightedTerms adds them: the same bits as one logDensity or
    // logSurvival a record (up to the sign of a zero). A family overrides them to do once per batch
    // what does not depend on the record.
    virtual PointTerms sumLogDensities(const double* times, const double* counts, std::size_t count, const double* p,
                                       int order) const;
    virtual PointTerms sumLogSurvivals(const double* times, const double* counts, std::size_t count, const double* p,
                                       int order) const;
    // ln(S(a) - S(b)) for a < b, formed without cancellation in either tail; (0, b] is ln F(b).
    virtual PointTerms logIntervalProbability(double a, double b, const double* p, int order) const = 0;

    // t_P with F(t_P) = P, 0 < P < 1, and, when `gradient` is not null, its gradient in p.
    virtual double quantile(double P, const double* p, double* gradient) const = 0;

    // The family's standard variable u(t), with S(t) = S0(u), and its gradient in p; the reliability
    // bounds are S0(u +- z se(u)). False for a family that has none (gamma): its reliability bounds
    // are on the logit of R instead.
    virtual bool standardVariable(double t, const double* p, double& u, double* gradient) const = 0;
    virtual double standardSurvival(double u) const = 0;

    // Coordinates to start a fit from, from a regression on the family's probability plot through
    // `points` (two or more distinct times above `location`), with the location (where the family
    // has one) at `location`.
    virtual void startingCoordinates(const std::vector<PlotPoint>& points, double location, double* p) const = 0;
};

// The distributions by name, in the order the options document them; "all" is not among them.
const std::vector<std::string>& distributionNames();

// A new distribution of that name, or null for a name that is not one.
std::unique_ptr<Distribution> makeDistribution(const std::string& name);

} // namespace lifedata

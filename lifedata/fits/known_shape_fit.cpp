// The closed form for failures and suspensions, and Newton's method in ln eta for data with
// intervals: with m fixed the log-likelihood is concave in ln eta (each term is the logarithm of a
// probability of a log-concave variable shifted by ln eta), so its maximum is unique and a step
// halved until the likelihood rises reaches it.
#include "known_shape_fit.h"

#include <algorithm>
#include <cmath>

#include "json_text.h"

namespace lifedata {

namespace {

// Newton steps in ln eta are capped at a factor of e^2, and end below this.
constexpr double maximumStep = 2;
constexpr double stepTolerance = 1e-13;
constexpr int maximumIterations = 200;

// Adds c ((t - gamma) / reference)^m over the records above gamma, ascending, to `sum`.
void addScaledPowers(const std::vector<double>& times, const std::vector<double>& counts, double gamma,
                     double reference, double m, double& sum)
{
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (times[i] > gamma)
            sum += counts[i] * std::pow((times[i] - gamma) / reference, m);
    }
}

// The largest t - gamma of the records, 0 where none is above gamma.
double largestExcess(const std::vector<double>& times, double gamma)
{
    return times.empty() ? 0 : std::max(0.0, *std::max_element(times.begin(), times.end()) - gamma);
}

// S and r with each interval taken as a failure at its upper end: the exact sums without intervals,
// and a start for the likelihood's maximum with them.
KnownShapeFit powerSums(const PreparedData& data, double m, double gamma)
{
    KnownShapeFit fit;
    fit.closedForm = data.intervalLower.empty();
    fit.failures = data.failureUnits;
    fit.reference = std::max({largestExcess(data.failureTimes, gamma), largestExcess(data.suspensionTimes, gamma),
                              largestExcess(data.intervalUpper, gamma)});
    if (!(fit.reference > 0))
        throw DataError("no unit's time is above the location " + jsonNumber(gamma) +
                        ": there is nothing to estimate eta by");
    addScaledPowers(data.failureTimes, data.failureCounts, gamma, fit.reference, m, fit.scaledSum);
    addScaledPowers(data.suspensionTimes, data.suspensionCounts, gamma, fit.reference, m, fit.scaledSum);
    for (std::size_t i = 0; i < data.intervalUpper.size(); ++i)
        fit.scaledSum += data.intervalCounts[i] * std::pow((data.intervalUpper[i] - gamma) / fit.reference, m);
    return fit;
}

// As eta falls to 0 every term but one falls without limit: an interval from at or below gamma,
// whose probability rises to 1. Without anything else the likelihood has no finite maximum.
bool boundedBelow(const PreparedData& data, double gamma)
{
    const bool laterSuspension = !data.suspensionTimes.empty() && data.suspensionTimes.back() > gamma;
    const bool intervalAboveGamma = std::any_of(data.intervalLower.begin(), data.intervalLower.end(),
                                                [gamma](double lower) { return lower > gamma; });
    return !data.failureTimes.empty() || laterSuspension || intervalAboveGamma;
}

// The maximum of the likelihood in u = ln eta from `u`.
void maximizeScale(LikelihoodEvaluator& likelihood, double m, double gamma, double& u, double& value)
{
    LikelihoodDerivatives at = likelihood.evaluate(m, std::exp(u), gamma, 2);
    for (int iteration = 0; iteration < maximumIterations; ++iteration) {
        const double slope = at.gradient[1];
        const double curvature = at.hessian[1][1];
        double step = curvature < 0 ? -slope / curvature : (slope > 0 ? maximumStep : -maximumStep);
        step = std::clamp(step, -maximumStep, maximumStep);
        LikelihoodDerivatives next = likelihood.evaluate(m, std::exp(u + step), gamma, 2);
        for (int halving = 0; halving < 60 && !(next.value >= at.value); ++halving) {
            step /= 2;
            next = likelihood.evaluate(m, std::exp(u + step), gamma, 2);
        }
        if (!(next.value >= at.value))
            break; // no rise left in the last digits: u is the maximum
        u += step;
        at = next;
        if (std::fabs(step) < stepTolerance)
            break;
    }
    value = at.value;
}

} // namespace

double knownShapeScale(const KnownShapeFit& fit, double divisor)
{
    return fit.reference * std::pow(fit.scaledSum / divisor, 1 / fit.fit.m);
}

KnownShapeFit fitKnownShape(const PreparedData& data, double shape, double gamma, const FitSettings& settings)
{
    const double x1 = smallestFailure(data);
    if (!(gamma < x1))
        throw DataError("the location " + jsonNumber(gamma) + " is not below the smallest failure time " +
                        jsonNumber(x1));
    KnownShapeFit known = powerSums(data, shape, gamma);
    WeibullFit& fit = known.fit;
    fit.m = shape;
    fit.gamma = gamma;
    if (known.failures == 0) {
        fit.status = FitStatus::zeroFailures;
        fit.statusText = fitStatusText(fit.status);
        return known;
    }
    std::unique_ptr<ChunkedWork> work = makeWork(data, settings);
    LikelihoodEvaluator likelihood(data, *work);
    double u = std::log(knownShapeScale(known, known.failures));
    double value = 0;
    if (!known.closedForm) {
        if (!boundedBelow(data, gamma)) {
            known.fit = withStatus(FitStatus::noFiniteMaximum);
            known.fit.m = shape;
            known.fit.gamma = gamma;
            return known;
        }
        maximizeScale(likelihood, shape, gamma, u, value);
    }
    fit.status = FitStatus::ok;
    fit.statusText = fitStatusText(fit.status);
    fit.eta = known.closedForm ? knownShapeScale(known, known.failures) : std::exp(u);
    fit.logLikelihood = known.closedForm ? likelihood.evaluate(shape, fit.eta, gamma, 0).value : value;
    return known;
}

} // namespace lifedata

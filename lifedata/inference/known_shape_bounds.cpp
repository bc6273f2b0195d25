// eta's interval is found once; a B-life or a reliability at each side of it is that quantity's
// side, since both rise with eta. A side of eta without a number (no upper bound with no failure)
// stays so for a B-life; a reliability's side is then its limit, 0 or 1.
#include "known_shape_bounds.h"

#include <cmath>
#include <limits>

#include "chi_square.h"
#include "chi_square_one_df.h"
#include "fisher_bounds.h"
#include "information_criteria.h"
#include "weibull_moments.h"

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// The likelihood-ratio search ends when its bracket on ln eta is this narrow.
constexpr double logTolerance = 1e-13;
// ln eta this far from the estimate (a factor of 1e13) is as good as no end.
constexpr double logSpan = 30;

struct ScaleBounds {
    ConfidenceInterval twoSided;
    double oneSidedLower = notANumber;
};

// (2S / chi2)^(1/m) with chi2 the quantile of 2r + 2 degrees of freedom for the lower sides and of 2r
// for the upper side, which does not exist without failures.
ScaleBounds chiSquareBounds(const KnownShapeFit& fit, double confidence)
{
    const double r = fit.failures;
    ScaleBounds bounds;
    bounds.twoSided.lower = {knownShapeScale(fit, chiSquareUpperQuantile((1 - confidence) / 2, 2 * r + 2) / 2), ""};
    if (r > 0)
        bounds.twoSided.upper = {knownShapeScale(fit, chiSquareQuantile((1 - confidence) / 2, 2 * r) / 2), ""};
    else
        bounds.twoSided.upper = {notANumber, unboundedText};
    bounds.oneSidedLower = knownShapeScale(fit, chiSquareUpperQuantile(1 - confidence, 2 * r + 2) / 2);
    return bounds;
}

// The side of ln eta in `direction` (+1 or -1) where 2 (lmax - l) reaches `critical`: the likelihood
// is concave in ln eta, so the deficit grows outward and one crossing is all there is.
BoundSide likelihoodRatioSide(LikelihoodEvaluator& likelihood, const WeibullFit& fit, double critical, double direction)
{
    const double uHat = std::log(fit.eta);
    const auto beyond = [&](double u) {
        return 2 * (fit.logLikelihood - likelihood.evaluate(fit.m, std::exp(u), fit.gamma, 0).value) >= critical;
    };
    double inner = 0; // offsets from uHat
    double outer = 0.125;
    while (!beyond(uHat + direction * outer)) {
        inner = outer;
        outer *= 2;
        if (outer > logSpan)
            return {notANumber, unboundedText};
    }
    while (outer - inner > logTolerance * std::fmax(1, std::fabs(uHat))) {
        const double middle = (inner + outer) / 2;
        (beyond(uHat + direction * middle) ? outer : inner) = middle;
    }
    return {std::exp(uHat + direction * (inner + outer) / 2), ""};
}

ConfidenceInterval likelihoodRatioBounds(const PreparedData& data, const WeibullFit& fit, const InferenceRequest& request)
{
    const std::unique_ptr<ChunkedWork> work = makeWork(data, FitSettings{request.threads});
    LikelihoodEvaluator likelihood(data, *work);
    const double critical = chiSquareOneDfQuantile(request.confidence);
    return {likelihoodRatioSide(likelihood, fit, critical, -1), likelihoodRatioSide(likelihood, fit, critical, 1)};
}

// A quantity's side at a side of eta: the same words where eta's side has no number.
template <typename Quantity>
BoundSide carried(const BoundSide& etaSide, const WeibullFit& fit, Quantity quantity)
{
    if (std::isnan(etaSide.value))
        return {notANumber, etaSide.text};
    return {quantity(WeibullEstimate{fit.m, etaSide.value, fit.gamma}), ""};
}

template <typename Quantity>
ConfidenceInterval carriedInterval(const ConfidenceInterval& eta, const WeibullFit& fit, Quantity quantity)
{
    return {carried(eta.lower, fit, quantity), carried(eta.upper, fit, quantity)};
}

// A reliability lies in [0, 1]: where eta's side does not close (no upper side without failures),
// the reliability's side is the limit it reaches, 1 as eta grows without bound and 0 as it shrinks.
ConfidenceInterval reliabilityInterval(const ConfidenceInterval& eta, const WeibullFit& fit, double t)
{
    const auto at = [&](const BoundSide& etaSide, double limit) -> BoundSide {
        if (std::isnan(etaSide.value))
            return {limit, ""};
        return {reliability(WeibullEstimate{fit.m, etaSide.value, fit.gamma}, t), ""};
    };
    return {at(eta.lower, 0), at(eta.upper, 1)};
}

// The covariance in (m, eta): m is known, so only eta varies, with the variance of ln eta from the
// observed information, -1 / (d2 l / d ln eta^2), carried to eta by the delta method.
void setScaleCovariance(const PreparedData& data, const WeibullFit& fit, const InferenceRequest& request,
                        ModelInference& inference)
{
    const std::unique_ptr<ChunkedWork> work = makeWork(data, FitSettings{request.threads});
    LikelihoodEvaluator likelihood(data, *work);
    const double information = -likelihood.evaluate(fit.m, fit.eta, fit.gamma, 2).hessian[1][1];
    if (!(information > 0 && std::isfinite(information)))
        return;
    inference.covarianceSize = 2;
    inference.covariance[0][0] = inference.covariance[0][1] = inference.covariance[1][0] = 0;
    inference.covariance[1][1] = fit.eta * fit.eta / information;
}

} // namespace

ModelInference inferKnownShape(const PreparedData& data, const KnownShapeFit& known, const InferenceRequest& request)
{
    ModelInference inference;
    const WeibullFit& fit = known.fit;
    if (fit.status != FitStatus::ok && fit.status != FitStatus::zeroFailures)
        return inference;
    inference.available = true;
    inference.shapeFixed = true;
    inference.confidence = request.confidence;
    inference.m.estimate = fit.m;
    inference.eta.estimate = fit.eta;
    inference.gamma.estimate = fit.gamma;
    const WeibullEstimate estimate{fit.m, fit.eta, fit.gamma};
    for (double percent : request.bLifePercents)
        inference.bLives.push_back({percent, estimateOnly(bLife(estimate, percent))});
    for (double t : request.at)
        inference.reliability.push_back({t, estimateOnly(reliability(estimate, t))});
    inference.goodnessOfFit.reason = "not given for a known shape";
    inference.mReducedBiasText = "not defined for a known shape";
    if (fit.status == FitStatus::ok) {
        // One parameter is estimated: eta.
        inference.distribution = weibullSummary(fit.m, fit.eta, fit.gamma);
        inference.criteria = informationCriteria(fit.logLikelihood, 1, unitCount(data));
        setScaleCovariance(data, fit, request, inference);
    } else {
        inference.distribution = {notANumber, notANumber, notANumber, notANumber};
        inference.criteria = {notANumber, notANumber, notANumber};
        inference.withoutEstimate = fit.statusText;
    }

    if (request.bounds == BoundsChoice::none)
        return inference;
    ConfidenceInterval eta;
    if (known.closedForm) {
        const ScaleBounds bounds = chiSquareBounds(known, request.confidence);
        eta = bounds.twoSided;
        inference.etaLowerOneSided = bounds.oneSidedLower;
    } else {
        eta = likelihoodRatioBounds(data, fit, request);
    }
    const auto set = [&](QuantityBounds& q, const ConfidenceInterval& interval) {
        if (known.closedForm) {
            q.hasChiSquare = true;
            q.chiSquare = interval;
        } else {
            q.hasLikelihoodRatio = true;
            q.likelihoodRatio = interval;
        }
    };
    set(inference.eta, eta);
    for (BLifeBounds& b : inference.bLives) {
        const double percent = b.percent;
        set(b.bounds, carriedInterval(eta, fit, [percent](const WeibullEstimate& e) { return bLife(e, percent); }));
    }
    for (ReliabilityBounds& r : inference.reliability) {
        const double t = r.at;
        if (t > fit.gamma)
            set(r.bounds, reliabilityInterval(eta, fit, t));
    }
    return inference;
}

} // namespace lifedata

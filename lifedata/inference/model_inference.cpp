// Bounds from the observed information at the estimate and from the profile likelihood, and the
// Anderson-Darling statistic with its bootstrap p-value, for one fitted model.
#include "model_inference.h"

#include <cmath>
#include <limits>
#include <memory>

#include "anderson_darling.h"
#include "bootstrap_goodness_of_fit.h"
#include "chi_square_one_df.h"
#include "fisher_bounds.h"
#include "likelihood_ratio_bounds.h"
#include "normal_quantile.h"
#include "reduced_bias_shape.h"

namespace lifedata {

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

// Where the usual theory of the information about gamma fails, in words.
constexpr const char* irregularGammaText =
    "m <= 2: the information about gamma is not regular, so the Fisher bounds are not reliable";
constexpr const char* noInformationText =
    "no Fisher bounds: the observed information at the estimate is not positive definite";

bool wantsFisher(BoundsChoice choice) { return choice == BoundsChoice::fisher || choice == BoundsChoice::both; }
bool wantsLikelihoodRatio(BoundsChoice choice)
{
    return choice == BoundsChoice::likelihoodRatio || choice == BoundsChoice::both;
}

// gamma cannot reach the smallest failure: a side beyond it is x1, and says so.
void cutAtSmallestFailure(ConfidenceInterval& interval, double x1)
{
    if (interval.upper.value > x1 && interval.upper.text.empty())
        interval.upper = {x1, cutAtSmallestFailureText};
}

GoodnessOfFit goodnessOfFit(const PreparedData& data, const WeibullEstimate& estimate, bool threeParameter,
                            const InferenceRequest& request)
{
    GoodnessOfFit result;
    result.bootstrapSamples = request.bootstrap;
    result.seed = request.seed;
    if (!data.suspensionTimes.empty() || !data.intervalLower.empty()) {
        result.reason = "not defined for censored data (suspensions or intervals)";
        return result;
    }
    result.defined = true;
    result.andersonDarling = andersonDarling(data.failureTimes, data.failureCounts, estimate);
    result.pValue = notANumber;
    if (request.bootstrap == 0)
        return result;
    const BootstrapRequest bootstrap{estimate,
                                     threeParameter,
                                     static_cast<std::uint64_t>(data.failureUnits),
                                     result.andersonDarling,
                                     request.bootstrap,
                                     request.seed,
                                     request.threads,
                                     request.cancel};
    const BootstrapResult refits = bootstrapAndersonDarling(bootstrap);
    result.pValue = refits.pValue;
    result.failedRefits = refits.failedRefits;
    return result;
}

// The covariance in (m, eta[, gamma]): d m = m d ln m and d eta = eta d ln eta. The inverse can
// differ from its mirror in the last bit; one triangle, mirrored, gives a symmetric matrix.
void setParameterCovariance(ModelInference& inference, const WeibullEstimate& e, const ParameterCovariance& c)
{
    const double scale[3] = {e.m, e.eta, 1};
    inference.covarianceSize = c.size;
    for (int i = 0; i < c.size; ++i) {
        for (int j = i; j < c.size; ++j)
            inference.covariance[i][j] = inference.covariance[j][i] = scale[i] * c.c[i][j] * scale[j];
    }
}

void setReducedBiasShape(ModelInference& inference, const PreparedData& data, double m)
{
    inference.mReducedBias = notANumber;
    if (!data.intervalLower.empty())
        inference.mReducedBiasText = "not defined for data with intervals";
    else if (data.failureUnits < 2)
        inference.mReducedBiasText = "fewer than 2 failures";
    else
        inference.mReducedBias = m * reducedBiasFactor(data.failureUnits);
}

} // namespace

ModelInference estimatesOnly(const WeibullFit& fit, bool threeParameter, const InferenceRequest& request)
{
    ModelInference inference;
    if (fit.status != FitStatus::ok)
        return inference;
    inference.available = true;
    inference.maximumLikelihood = false;
    inference.threeParameter = threeParameter;
    const WeibullEstimate estimate{fit.m, fit.eta, fit.gamma};
    inference.m.estimate = fit.m;
    inference.eta.estimate = fit.eta;
    inference.gamma.estimate = fit.gamma;
    for (double percent : request.bLifePercents)
        inference.bLives.push_back({percent, estimateOnly(bLife(estimate, percent))});
    for (double t : request.at)
        inference.reliability.push_back({t, estimateOnly(reliability(estimate, t))});
    inference.distribution = weibullSummary(fit.m, fit.eta, fit.gamma);
    return inference;
}

ModelInference inferModel(const PreparedData& data, const WeibullFit& fit, bool threeParameter,
                          const InferenceRequest& request)
{
    ModelInference inference = estimatesOnly(fit, threeParameter, request);
    if (!inference.available)
        return inference;
    inference.maximumLikelihood = true;
    inference.confidence = request.confidence;

    const WeibullEstimate estimate{fit.m, fit.eta, fit.gamma};
    const double x1 = smallestFailure(data);
    const double z = normalQuantile((1 + request.confidence) / 2);
    const FitSettings settings{request.threads, request.cancel};

    const int parameters = threeParameter ? 3 : 2;
    inference.criteria = informationCriteria(fit.logLikelihood, parameters, unitCount(data));
    if (!threeParameter)
        setReducedBiasShape(inference, data, fit.m);

    const std::unique_ptr<ChunkedWork> work = makeWork(data, settings);
    LikelihoodEvaluator likelihood(data, *work, request.cancel);
    ParameterCovariance covariance;
    const LikelihoodDerivatives at = likelihood.evaluate(fit.m, fit.eta, fit.gamma, 2);
    const bool haveCovariance = covarianceFromHessian(at.hessian, parameters, covariance);
    if (haveCovariance)
        setParameterCovariance(inference, estimate, covariance);
    if (!haveCovariance && wantsFisher(request.bounds))
        inference.fisherNote = noInformationText;
    else if (threeParameter && fit.m <= 2 && wantsFisher(request.bounds))
        inference.fisherNote = irregularGammaText;

    if (wantsFisher(request.bounds) && haveCovariance) {
        const auto set = [](QuantityBounds& q, const ConfidenceInterval& interval) {
            q.hasFisher = true;
            q.fisher = interval;
        };
        set(inference.m, fisherShapeBounds(estimate, covariance, z));
        set(inference.eta, fisherScaleBounds(estimate, covariance, z));
        if (threeParameter) {
            set(inference.gamma, fisherLocationBounds(estimate, covariance, z));
            cutAtSmallestFailure(inference.gamma.fisher, x1);
        }
        for (BLifeBounds& b : inference.bLives)
            set(b.bounds, fisherBLifeBounds(estimate, covariance, z, b.percent));
        for (ReliabilityBounds& r : inference.reliability) {
            if (r.at > fit.gamma)
                set(r.bounds, fisherReliabilityBounds(estimate, covariance, z, r.at));
        }
    }

    if (wantsLikelihoodRatio(request.bounds)) {
        const LikelihoodRatioSetup setup{&data,
                                         work.get(),
                                         &likelihood,
                                         threeParameter,
                                         estimate,
                                         fit.logLikelihood,
                                         chiSquareOneDfQuantile(request.confidence),
                                         x1,
                                         haveCovariance ? &covariance : nullptr,
                                         z};
        const auto set = [&](QuantityBounds& q, HeldQuantity quantity, double argument) {
            // The two-parameter searches do not use `likelihood`, which checks for itself.
            stopIfCancelled(request.cancel);
            q.hasLikelihoodRatio = true;
            q.likelihoodRatio = likelihoodRatioBounds(setup, quantity, argument);
        };
        set(inference.m, HeldQuantity::shape, 0);
        set(inference.eta, HeldQuantity::scale, 0);
        if (threeParameter)
            set(inference.gamma, HeldQuantity::location, 0);
        for (BLifeBounds& b : inference.bLives)
            set(b.bounds, HeldQuantity::bLife, b.percent);
        for (ReliabilityBounds& r : inference.reliability) {
            if (r.at > fit.gamma)
                set(r.bounds, HeldQuantity::reliability, r.at);
        }
    }

    inference.goodnessOfFit = goodnessOfFit(data, estimate, threeParameter, request);
    return inference;
}

} // namespace lifedata

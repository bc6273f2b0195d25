// One pass over the quantities a request names, each with its Fisher and likelihood-ratio bounds.
#include "distribution_inference.h"

#include <cmath>

#include "chi_square_one_df.h"
#include "distribution_fisher_bounds.h"
#include "distribution_likelihood_ratio.h"
#include "normal_quantile.h"

namespace lifedata {

namespace {

constexpr const char* noInformationText =
    "no Fisher bounds: the observed information at the estimate is not positive definite";

bool wantsFisher(BoundsChoice choice) { return choice == BoundsChoice::fisher || choice == BoundsChoice::both; }
bool wantsLikelihoodRatio(BoundsChoice choice)
{
    return choice == BoundsChoice::likelihoodRatio || choice == BoundsChoice::both;
}

struct Inferrer {
    const DistributionEstimate& estimate;
    DistributionLikelihood& likelihood;
    const InferenceRequest& request;
    bool hasCovariance;
    ParameterCovariance covariance;
    double z;
    double critical;

    QuantityBounds bounds(const DistributionQuantity& quantity) const
    {
        stopIfCancelled(request.cancel);
        QuantityBounds result = estimateOnly(quantityValue(estimate.context, quantity, estimate.p));
        const bool heldLocation = quantity.kind == QuantityKind::parameter &&
                                  quantity.index == estimate.context.distribution->locationIndex() &&
                                  !estimate.context.locationFree;
        if (heldLocation)
            return result;
        if (hasCovariance && wantsFisher(request.bounds)) {
            result.hasFisher = true;
            result.fisher = fisherDistributionBounds(estimate.context, quantity, estimate.p, covariance, z);
        }
        if (wantsLikelihoodRatio(request.bounds)) {
            const DistributionRatioSetup setup{estimate.context,       &likelihood, estimate.p, estimate.logLikelihood,
                                               critical,               z,           hasCovariance ? &covariance : nullptr};
            result.hasLikelihoodRatio = true;
            result.likelihoodRatio = distributionRatioBounds(setup, quantity);
        }
        return result;
    }
};

} // namespace

DistributionInference inferDistribution(const DistributionEstimate& estimate, DistributionLikelihood& likelihood,
                                        const InferenceRequest& request)
{
    DistributionInference result;
    result.available = true;
    result.confidence = request.confidence;
    Inferrer inferrer{estimate, likelihood, request, false, {}, normalQuantile((1 + request.confidence) / 2),
                      chiSquareOneDfQuantile(request.confidence)};
    if (request.bounds != BoundsChoice::none) {
        const PointTerms terms = likelihood.evaluate(estimate.p, 2);
        inferrer.hasCovariance = distributionCovariance(estimate.context, terms.hessian, inferrer.covariance);
        if (!inferrer.hasCovariance && wantsFisher(request.bounds))
            result.fisherNote = noInformationText;
    }
    const std::size_t count = estimate.context.distribution->parameterCount();
    for (std::size_t i = 0; i < count; ++i)
        result.parameters.push_back(inferrer.bounds({QuantityKind::parameter, i, 0}));
    for (double percent : request.bLifePercents)
        result.bLives.push_back({percent, inferrer.bounds({QuantityKind::bLife, 0, percent})});
    for (double t : request.at)
        result.reliability.push_back({t, inferrer.bounds({QuantityKind::reliability, 0, t})});
    return result;
}

DistributionInference weibullDistributionInference(const ModelInference& inference)
{
    DistributionInference result;
    result.available = inference.available;
    result.confidence = inference.confidence;
    result.fisherNote = inference.fisherNote;
    result.parameters = {inference.m, inference.eta};
    if (inference.threeParameter)
        result.parameters.push_back(inference.gamma);
    result.bLives = inference.bLives;
    result.reliability = inference.reliability;
    return result;
}

} // namespace lifedata

// Every named distribution is fitted and bounded on its own, then the list is put in rank order.
// The Weibull entries come from the fast Weibull fits, so that they are the bits of the plain
// analysis; every other family goes through the general fit and the bounds of the interface.
#include "distribution_comparison.h"

#include <cmath>
#include <limits>
#include <memory>
#include <utility>

#include "analysis_inference.h"
#include "distribution_fit.h"
#include "distribution_ranking.h"

namespace lifedata {

namespace {

DistributionResult weibullResult(const std::string& name, const WeibullFit& fit, const ModelInference& inference,
                                 bool threeParameter)
{
    DistributionResult result;
    result.name = name;
    result.parameterNames = {"m", "eta"};
    result.parameters = {fit.m, fit.eta};
    if (threeParameter) {
        result.parameterNames.push_back("gamma");
        result.parameters.push_back(fit.gamma);
    }
    result.estimated = fit.status == FitStatus::ok;
    result.status = fit.statusText;
    result.location = threeParameter ? fit.gamma : 0;
    if (!result.estimated)
        return result;
    result.logLikelihood = fit.logLikelihood;
    result.criteria = inference.criteria;
    result.inference = weibullDistributionInference(inference);
    return result;
}

DistributionResult weibullResult(const std::string& name, const PreparedData& data, const AnalysisRequest& request)
{
    const FitSettings settings{request.threads, request.cancel};
    const bool threeParameter = name == "weibull3";
    const WeibullFit fit = threeParameter ? fitThreeParameter(data, settings).fit : fitTwoParameter(data, 0, settings);
    stopIfCancelled(request.cancel);
    return weibullResult(name, fit, inferModel(data, fit, threeParameter, inferenceRequest(request)), threeParameter);
}

DistributionResult generalResult(const Distribution& distribution, const PreparedData& data,
                                 const AnalysisRequest& request)
{
    const FitSettings settings{request.threads, request.cancel};
    const DistributionFit fit = fitDistribution(distribution, data, settings);
    stopIfCancelled(request.cancel);
    DistributionResult result;
    result.name = distribution.name();
    for (std::size_t i = 0; i < distribution.parameterCount(); ++i)
        result.parameterNames.push_back(distribution.parameterName(i));
    result.parameters = fit.parameters;
    result.parameters.resize(distribution.parameterCount(), std::numeric_limits<double>::quiet_NaN());
    result.estimated = fit.status == FitStatus::ok || fit.locationOnBoundary;
    result.status = fit.statusText;
    const std::size_t location = distribution.locationIndex();
    result.location = distribution.allowsNegativeTimes() ? -std::numeric_limits<double>::infinity()
                      : location == noParameter      ? 0.0
                                                     : result.parameters[location];
    if (!result.estimated)
        return result;
    result.logLikelihood = fit.logLikelihood;
    result.criteria =
        informationCriteria(fit.logLikelihood, static_cast<int>(fit.estimatedParameters), fit.units);

    DistributionEstimate estimate;
    estimate.context = {&distribution, location != noParameter && !fit.locationOnBoundary, smallestFailure(data)};
    for (std::size_t i = 0; i < fit.p.size() && i < maximumDistributionParameters; ++i)
        estimate.p[i] = fit.p[i];
    estimate.logLikelihood = fit.logLikelihood;
    const std::unique_ptr<ChunkedWork> work = makeWork(data, settings);
    DistributionLikelihood likelihood(distribution, data, *work, request.cancel);
    // The bounds' profiles fall from the maximum as this evaluation gives it, in its own rounding.
    estimate.logLikelihood = likelihood.evaluate(estimate.p, 0).value;
    result.inference = inferDistribution(estimate, likelihood, inferenceRequest(request));
    return result;
}

void checkRequest(const AnalysisRequest& request)
{
    if (request.method != EstimationMethod::mle)
        throw DataError("the distributions are maximum-likelihood fits: use the method mle");
    if (request.shape > 0)
        throw DataError("the distributions are fitted with every parameter free: give no known shape");
    if (request.gamma != 0)
        throw DataError("the distributions have their own locations: give no location");
    for (const std::string& name : request.distributions) {
        if (name != "weibull2" && name != "weibull3" && !makeDistribution(name))
            throw DataError("unknown distribution '" + name + "'");
    }
}

} // namespace

std::vector<DistributionResult> compareDistributions(const PreparedData& data, const AnalysisRequest& request)
{
    checkRequest(request);
    checkFittable(data);
    std::vector<DistributionResult> results;
    for (const std::string& name : request.distributions) {
        if (name == "weibull2" || name == "weibull3") {
            results.push_back(weibullResult(name, data, request));
        } else {
            const std::unique_ptr<Distribution> distribution = makeDistribution(name);
            results.push_back(generalResult(*distribution, data, request));
        }
    }
    std::vector<RankingEntry> entries;
    for (const DistributionResult& result : results)
        entries.push_back({result.name, result.estimated, result.criteria.aicc, result.criteria.bic});
    std::vector<DistributionResult> ranked;
    unsigned rank = 0;
    for (std::size_t index : rankOrder(entries)) {
        ranked.push_back(std::move(results[index]));
        if (ranked.back().estimated)
            ranked.back().rank = ++rank;
    }
    return ranked;
}

} // namespace lifedata

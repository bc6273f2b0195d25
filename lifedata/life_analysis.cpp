// One life-data analysis: the two-parameter fit at the requested location, the three-parameter
// fit, and, for maximum likelihood, the likelihood-ratio comparison of the two when both have
// estimates.
#include "life_analysis.h"

#include <string>

#include "analysis_inference.h"
#include "chi_square_one_df.h"
#include "distribution_comparison.h"
#include "known_shape_fit.h"
#include "rank_regression.h"

namespace lifedata {

namespace {

LikelihoodRatioTest compareModels(const WeibullFit& two, const WeibullFit& three)
{
    LikelihoodRatioTest test;
    if (two.status != FitStatus::ok || three.status != FitStatus::ok)
        return test;
    test.available = true;
    test.statistic = 2 * (three.logLikelihood - two.logLikelihood);
    test.pValue = chiSquareOneDfPValue(test.statistic);
    return test;
}

void fitByRegression(const PreparedData& prepared, const AnalysisRequest& request, Analysis& analysis)
{
    const RegressionAxis axis = request.method == EstimationMethod::rrx ? RegressionAxis::x : RegressionAxis::y;
    RankRegression regression(prepared, FitSettings{request.threads});
    analysis.twoParameter = regression.fitTwoParameter(axis, request.gamma);
    if (request.model != ModelChoice::twoParameter)
        analysis.threeParameter.fit = regression.fitThreeParameter(axis);
}

} // namespace

Analysis analyseLifeData(const LifeData& data, const AnalysisRequest& request)
{
    validateLifeData(data);
    validateInferenceRequest(request);
    const bool regression = request.method != EstimationMethod::mle;
    const std::size_t interval = firstIntervalRecord(data);
    if (regression && interval < data.states.size())
        throw DataError("record " + std::to_string(interval + 1) + ": " + regressionIntervalText);
    if (request.mixture && (regression || request.shape > 0 || request.gamma != 0))
        throw DataError(mixtureRequestText);
    if (request.modes != ModesChoice::none && (regression || request.shape > 0))
        throw DataError("competing modes are likelihood fits with each mode's own shape: not with rank "
                        "regression or a known shape");
    Analysis analysis;
    analysis.method = request.method;
    analysis.data = summarizeLifeData(data);
    const FitSettings settings{request.threads, request.cancel};
    const PreparedData prepared = prepareLifeData(data, settings);
    stopIfCancelled(request.cancel);
    // The distributions are compared against the non-parametric estimate: it comes with them.
    if (request.nonParametric || !request.distributions.empty())
        analysis.nonParametric = estimateNonParametric(prepared, {request.confidence});
    if (!request.distributions.empty()) {
        analysis.distributions = compareDistributions(prepared, request);
        return analysis;
    }
    if (request.shape > 0) {
        const KnownShapeFit known = fitKnownShape(prepared, request.shape, request.gamma, settings);
        analysis.twoParameter = known.fit;
        inferKnownShapeModel(prepared, request, known, analysis);
        return analysis;
    }
    if (regression) {
        fitByRegression(prepared, request, analysis);
    } else {
        // The two-parameter fit also decides whether the data can be fitted at all.
        analysis.twoParameter = fitTwoParameter(prepared, request.gamma, settings);
        stopIfCancelled(request.cancel);
        if (request.model != ModelChoice::twoParameter)
            analysis.threeParameter = fitThreeParameter(prepared, settings);
        stopIfCancelled(request.cancel);
        analysis.likelihoodRatio = compareModels(analysis.twoParameter, analysis.threeParameter.fit);
        if (request.mixture)
            analysis.mixture = analyseMixture(prepared, analysis.twoParameter,
                                              {request.confidence, request.bLifePercents, request.at, request.bounds,
                                               0, 0, request.threads, request.cancel},
                                              settings);
    }
    inferFittedModels(prepared, request, analysis);
    if (request.modes != ModesChoice::none)
        analysis.competingModes = fitCompetingModes(data, request.modes, inferenceRequest(request));
    return analysis;
}

} // namespace lifedata

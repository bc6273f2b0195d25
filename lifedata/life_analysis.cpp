// One life-data analysis: the two-parameter fit at the requested location, the three-parameter
// fit, and the likelihood-ratio comparison of the two when both have estimates.
#include "life_analysis.h"

#include <cmath>

#include "analysis_inference.h"

namespace lifedata {

namespace {

// The chi-square distribution with one degree of freedom: P(X > x) = erfc(sqrt(x / 2)).
LikelihoodRatioTest compareModels(const WeibullFit& two, const WeibullFit& three)
{
    LikelihoodRatioTest test;
    if (two.status != FitStatus::ok || three.status != FitStatus::ok)
        return test;
    test.available = true;
    test.statistic = 2 * (three.logLikelihood - two.logLikelihood);
    test.pValue = test.statistic > 0 ? std::erfc(std::sqrt(test.statistic / 2)) : 1;
    return test;
}

} // namespace

Analysis analyseLifeData(const LifeData& data, const AnalysisRequest& request)
{
    validateLifeData(data);
    validateInferenceRequest(request);
    Analysis analysis;
    analysis.data = summarizeLifeData(data);
    const PreparedData prepared = prepareLifeData(data);
    const FitSettings settings{request.threads};
    // The two-parameter fit also decides whether the data can be fitted at all.
    analysis.twoParameter = fitTwoParameter(prepared, request.gamma, settings);
    if (request.model != ModelChoice::twoParameter)
        analysis.threeParameter = fitThreeParameter(prepared, settings);
    analysis.likelihoodRatio = compareModels(analysis.twoParameter, analysis.threeParameter.fit);
    inferFittedModels(prepared, request, analysis);
    return analysis;
}

} // namespace lifedata

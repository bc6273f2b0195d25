// The request's choices handed to the inference of each fitted model.
#include "analysis_inference.h"

#include <cmath>
#include <string>

#include "json_text.h"
#include "known_shape_bounds.h"

namespace lifedata {

InferenceRequest inferenceRequest(const AnalysisRequest& request)
{
    return {request.confidence, request.bLifePercents, request.at,     request.bounds,
            request.bootstrap,  request.seed,          request.threads, request.cancel};
}

namespace {

std::string shown(double value) { return jsonNumber(value); }

} // namespace

void validateInferenceRequest(const AnalysisRequest& request)
{
    if (!(request.confidence >= 0.5 && request.confidence <= 0.9999))
        throw DataError("confidence must be from 0.5 to 0.9999, not " + shown(request.confidence));
    for (double percent : request.bLifePercents) {
        if (!(percent > 0 && percent < 100))
            throw DataError("a B-life percent must be above 0 and below 100, not " + shown(percent));
    }
    for (double t : request.at) {
        if (!std::isfinite(t))
            throw DataError("a reliability time must be a finite number");
    }
    if (request.threads > maximumThreads)
        throw DataError("at most " + std::to_string(maximumThreads) + " threads");
    if (!(request.shape >= 0 && std::isfinite(request.shape)))
        throw DataError("a known shape must be a finite number above 0, not " + shown(request.shape));
    if (request.bootstrap > maximumBootstrapSamples)
        throw DataError("at most " + std::to_string(maximumBootstrapSamples) + " bootstrap samples");
}

void inferFittedModels(const PreparedData& data, const AnalysisRequest& request, Analysis& analysis)
{
    const InferenceRequest inference = inferenceRequest(request);
    if (request.method != EstimationMethod::mle) {
        analysis.twoParameterInference = estimatesOnly(analysis.twoParameter, false, inference);
        analysis.threeParameterInference = estimatesOnly(analysis.threeParameter.fit, true, inference);
        return;
    }
    analysis.twoParameterInference = inferModel(data, analysis.twoParameter, false, inference);
    stopIfCancelled(request.cancel);
    analysis.threeParameterInference = inferModel(data, analysis.threeParameter.fit, true, inference);
}

void inferKnownShapeModel(const PreparedData& data, const AnalysisRequest& request, const KnownShapeFit& fit,
                          Analysis& analysis)
{
    analysis.twoParameterInference = inferKnownShape(data, fit, inferenceRequest(request));
}

} // namespace lifedata

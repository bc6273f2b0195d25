// The bounds and goodness of fit of every model an analysis fitted, as its request asks.
#pragma once

#include "known_shape_fit.h"
#include "life_analysis.h"

namespace lifedata {

// The request's inference choices, as every fitted model gets them.
InferenceRequest inferenceRequest(const AnalysisRequest& request);

// Throws DataError naming the first request value out of range: a confidence outside 0.5 to 0.9999,
// a B-life percent not strictly between 0 and 100, a time that is not a finite number, more
// bootstrap samples than maximumBootstrapSamples, more threads than maximumThreads, a known shape
// that is not a finite number above 0 (0 means none).
void validateInferenceRequest(const AnalysisRequest& request);

// The request's choices that the inference of one model needs.
InferenceRequest inferenceRequest(const AnalysisRequest& request);

// Sets analysis.twoParameterInference and threeParameterInference from the fits already in `analysis`.
void inferFittedModels(const PreparedData& data, const AnalysisRequest& request, Analysis& analysis);

// Sets analysis.twoParameterInference from a fit with a known shape.
void inferKnownShapeModel(const PreparedData& data, const AnalysisRequest& request, const KnownShapeFit& fit,
                          Analysis& analysis);

} // namespace lifedata

// The bounds and goodness of fit of every model an analysis fitted, as its request asks.
#pragma once

#include "life_analysis.h"

namespace lifedata {

// Throws DataError naming the first request value out of range: a confidence outside 0.5 to 0.9999,
// a B-life percent not strictly between 0 and 100, a time that is not a finite number, more
// bootstrap samples than maximumBootstrapSamples, more threads than maximumThreads.
void validateInferenceRequest(const AnalysisRequest& request);

// Sets analysis.twoParameterInference and threeParameterInference from the fits already in `analysis`.
void inferFittedModels(const PreparedData& data, const AnalysisRequest& request, Analysis& analysis);

} // namespace lifedata

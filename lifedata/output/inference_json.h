// The bounds and goodness of fit of one model as members of that model's JSON object.
#pragma once

#include <string>
#include <vector>

#include "json_text.h"
#include "model_inference.h"

namespace lifedata {

// A quantity's {"estimate": .., "fisher": {..}, "likelihoodRatio": {..}}, an object at `depth`.
std::string quantityJson(int depth, const QuantityBounds& bounds);

// {"m": .., "eta": ..[, "gamma": ..]}: the "bounds" of a model, an object at `depth`.
std::string parameterBoundsJson(int depth, const ModelInference& inference);

// The "bLives" and "reliability" arrays of a model, at `depth`; a reliability at or below `gamma`
// says it has no bounds.
std::string bLivesJson(int depth, const std::vector<BLifeBounds>& bLives);
std::string reliabilityJson(int depth, const std::vector<ReliabilityBounds>& reliability, double gamma);

// Adds "confidence", "bounds", "bLives", "reliability", "goodnessOfFit" (and "fisherNote" where the
// Fisher bounds are missing or doubtful), then "standardErrors", "covariance", "aic", "aicc", "bic",
// "mean", "median", "mode", "variance" and for two parameters "mReducedBias" to `model`, an object
// at `depth`. Rank regression has only "bounds", "bLives" and "reliability" with estimates, and the
// distribution's summary. Nothing where the model has no estimate. A side that is no plain number
// is null or its value, with "lowerText" or "upperText" beside it.
void addInferenceJson(JsonObject& model, int depth, const ModelInference& inference);

} // namespace lifedata

// The bounds and goodness of fit of one model as members of that model's JSON object.
#pragma once

#include <string>
#include <vector>

#include "json_text.h"
#include "model_inference.h"

namespace lifedata {

// Adds "confidence", "bounds", "bLives", "reliability", "goodnessOfFit" (and "fisherNote" where the
// Fisher bounds are missing or doubtful), then "standardErrors", "covariance", "aic", "aicc", "bic",
// "mean", "median", "mode", "variance" and for two parameters "mReducedBias" to `model`, an object
// at `depth`. Rank regression has only "bounds", "bLives" and "reliability" with estimates, and the
// distribution's summary. Nothing where the model has no estimate. A side that is no plain number
// is null or its value, with "lowerText" or "upperText" beside it.
void addInferenceJson(JsonObject& model, int depth, const ModelInference& inference);

// The pieces of the above that every fitted distribution and other models' objects share, each a value
// at `depth`: {"estimate": .., "fisher": {..}, "likelihoodRatio": {..}} of one quantity; a Weibull
// model's "bounds" {"m": .., "eta": ..[, "gamma": ..]}; the "bLives" list; the "reliability" list,
// whose entries at or below `location` say that they have no bounds; and an array of elements
// already written.
std::string quantityBoundsJson(int depth, const QuantityBounds& bounds);
std::string parameterBoundsJson(int depth, const ModelInference& inference);
std::string bLivesJson(int depth, const std::vector<BLifeBounds>& bLives);
std::string reliabilityJson(int depth, const std::vector<ReliabilityBounds>& reliability, double location);
std::string elementsJson(int depth, const std::vector<std::string>& elements);

} // namespace lifedata

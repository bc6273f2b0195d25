// The bounds and goodness of fit of one fitted model as text lines for `varnel --life`.
#pragma once

#include <string>

#include "model_inference.h"

// A table of estimate, Fisher and likelihood-ratio bounds for each parameter, B-life and
// reliability, then the goodness of fit; empty where the model has no estimate.
std::string inferenceText(const lifedata::ModelInference& inference);

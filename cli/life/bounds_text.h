// The bounds and goodness of fit of one fitted model as text lines for `varnel --life`.
#pragma once

#include <string>

#include "model_inference.h"
#include "system_reliability.h"

// A table of estimate, Fisher and likelihood-ratio bounds for each parameter, B-life and
// reliability, then the goodness of fit; empty where the model has no estimate.
std::string inferenceText(const lifedata::ModelInference& inference);

// The bounds table of inferenceText() alone, without the goodness of fit.
std::string boundsTableText(const lifedata::ModelInference& inference);

// A series system's B-lives and reliabilities in the same table.
std::string systemBoundsText(const lifedata::SystemReliability& system);

// The bounds and goodness of fit of one fitted model as text lines for `varnel --life`.
#pragma once

#include <string>

#include <vector>

#include "distribution_inference.h"
#include "model_inference.h"
#include "system_reliability.h"

// A table of estimate, Fisher and likelihood-ratio bounds for each parameter, B-life and
// reliability, then the goodness of fit; empty where the model has no estimate.
std::string inferenceText(const lifedata::ModelInference& inference);

// The same table for a fitted distribution of any family, its parameters under their `names`;
// reliabilities at or below `location` have no bounds. No goodness of fit.
std::string distributionBoundsText(const lifedata::DistributionInference& inference,
                                   const std::vector<std::string>& names, double location);
// The pieces of that table for another model's: the head at a confidence (both kinds of bounds),
// one row (`noBounds`: a reliability where the model gives none), and the name of a B-life row.
std::string boundsTableHead(double confidence);
std::string boundsRowText(const std::string& name, const lifedata::QuantityBounds& bounds, bool noBounds = false);
std::string bLifeRowName(double percent);
// The bounds table of inferenceText() alone, without the goodness of fit.
std::string boundsTableText(const lifedata::ModelInference& inference);

// A series system's B-lives and reliabilities in the same table.
std::string systemBoundsText(const lifedata::SystemReliability& system);

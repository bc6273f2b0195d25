// Bounds of an accelerated life model: of m, a and b, and at each use stress of eta, the B-lives
// and the reliabilities, by the Fisher matrix (delta method) and by the likelihood ratio (the
// profile with the quantity held).
#pragma once

#include <string>
#include <vector>

#include "accelerated_life.h"
#include "model_inference.h"

namespace lifedata {

struct UseStressBounds {
    double stress = 0; // as written
    QuantityBounds eta;
    std::vector<BLifeBounds> bLives;
    std::vector<ReliabilityBounds> reliability; // a time at or below 0 has no bounds
};

struct AcceleratedInference {
    bool available = false; // false where the model has no estimate
    double confidence = 0;
    std::string fisherNote; // why there are no Fisher bounds; empty where there are
    QuantityBounds m;
    QuantityBounds a;
    QuantityBounds b;
    std::vector<UseStressBounds> use;
};

// The bounds the request asks for (its bootstrap and seed are not used) at the stresses `use`.
AcceleratedInference inferAcceleratedLife(const AcceleratedFit& fit, const std::vector<double>& use,
                                          const InferenceRequest& request);

} // namespace lifedata

// The bounds of a fitted distribution of any family: of its parameters, B-lives and reliabilities,
// from the Fisher matrix and from the likelihood ratio, as the request asks.
#pragma once

#include <string>
#include <vector>

#include "distribution_profile.h"
#include "model_inference.h"

namespace lifedata {

// A maximum-likelihood estimate of a distribution.
struct DistributionEstimate {
    QuantityContext context;
    double p[maximumDistributionParameters] = {};
    double logLikelihood = 0;
};

struct DistributionInference {
    bool available = false;      // false where the distribution has no estimate
    double confidence = 0;
    std::string fisherNote;      // why there are no Fisher bounds; empty where there are
    std::vector<QuantityBounds> parameters; // in the distribution's order of parameters
    std::vector<BLifeBounds> bLives;
    std::vector<ReliabilityBounds> reliability;
};

// The bounds of `estimate` on the data whose log-likelihood is `likelihood`. A location held at x1
// has its estimate and no bounds. Throws AnalysisCancelled when request.cancel is set.
DistributionInference inferDistribution(const DistributionEstimate& estimate, DistributionLikelihood& likelihood,
                                        const InferenceRequest& request);

// The same members from a Weibull model's inference (m, eta[, gamma]), so that the Weibull fits keep
// their own bounds to the bit.
DistributionInference weibullDistributionInference(const ModelInference& inference);

} // namespace lifedata

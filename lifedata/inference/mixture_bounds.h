// Fisher bounds of a fitted two-Weibull mixture: of p (on its logit), of each component's m and eta
// (on their logarithms), of B-lives (on ln t) and of reliabilities (on ln(-ln R)), all by the delta
// method from the inverse of the observed information in (logit p, ln m1, ln eta1, ln m2, ln eta2).
#pragma once

#include <string>
#include <vector>

#include "information_criteria.h"
#include "model_inference.h"
#include "weibull_mixture.h"

namespace lifedata {

struct MixtureInference {
    double confidence = 0;
    std::string fisherNote; // why there are no Fisher bounds; empty where they are given
    QuantityBounds p;
    QuantityBounds m[2];
    QuantityBounds eta[2];
    std::vector<BLifeBounds> bLives;
    std::vector<ReliabilityBounds> reliability;
    InformationCriteria criteria{}; // five parameters
};

// The mixture's t_P (F(t_P) = P/100) and R(t) at its estimate.
double mixtureBLife(const MixtureFit& fit, double percent);
double mixtureReliability(const MixtureFit& fit, double t);

// The estimates and, unless `request.bounds` is none, their Fisher bounds, of a fit whose status is
// ok; `units` is the n of the information criteria.
MixtureInference inferMixture(const MixtureFit& fit, const InferenceRequest& request, double units);

} // namespace lifedata

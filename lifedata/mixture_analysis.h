// The mixture part of an analysis: the two-population fit, its bounds, and the one-Weibull fit's
// criteria that it is compared with.
#pragma once

#include "information_criteria.h"
#include "mixture_bounds.h"
#include "weibull_fit.h"

namespace lifedata {

// Why a request cannot have a mixture, in the words of a DataError.
inline constexpr const char* mixtureRequestText =
    "a mixture is fitted by maximum likelihood at location 0, without a known shape";

struct MixtureAnalysis {
    bool requested = false;
    MixtureFit fit;
    MixtureInference inference; // where the fit's status is ok
    // The one-Weibull fit it is measured against: given in every status.
    double oneLogLikelihood = 0;
    double oneM = 0;
    double oneEta = 0;
    InformationCriteria oneCriteria{};
};

// `one` is the analysis's two-parameter maximum-likelihood fit at location 0.
MixtureAnalysis analyseMixture(const PreparedData& data, const WeibullFit& one, const InferenceRequest& request,
                               const FitSettings& settings);

} // namespace lifedata

// The mixture part of an analysis, kept apart from the single-model fits it is compared with.
#include "mixture_analysis.h"

namespace lifedata {

MixtureAnalysis analyseMixture(const PreparedData& data, const WeibullFit& one, const InferenceRequest& request,
                               const FitSettings& settings)
{
    MixtureAnalysis analysis;
    analysis.requested = true;
    analysis.oneLogLikelihood = one.logLikelihood;
    analysis.oneM = one.m;
    analysis.oneEta = one.eta;
    analysis.oneCriteria = informationCriteria(one.logLikelihood, 2, unitCount(data));
    analysis.fit = fitWeibullMixture(data, one, settings);
    if (analysis.fit.status == MixtureStatus::ok)
        analysis.inference = inferMixture(analysis.fit, request, unitCount(data));
    return analysis;
}

} // namespace lifedata

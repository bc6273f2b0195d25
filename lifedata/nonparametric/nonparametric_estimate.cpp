// Which estimate the data call for: Kaplan-Meier is the Turnbull estimate of data without intervals,
// found in one pass and with bounds, so it is taken wherever it applies.
#include "nonparametric_estimate.h"

#include "kaplan_meier.h"
#include "turnbull.h"

namespace lifedata {

const char* nonParametricMethodName(NonParametricMethod method)
{
    return method == NonParametricMethod::turnbull ? "turnbull" : "kaplan-meier";
}

NonParametricEstimate estimateNonParametric(const PreparedData& data, const NonParametricSettings& settings)
{
    if (data.intervalLower.empty())
        return kaplanMeier(data, settings.confidence);
    return turnbull(data, settings.iterationCap);
}

} // namespace lifedata

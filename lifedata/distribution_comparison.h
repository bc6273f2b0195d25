// The comparison of distributions an analysis request names: each fitted by maximum likelihood to
// the same data, with its bounds, ranked by AICc.
#pragma once

#include <vector>

#include "life_analysis.h"

namespace lifedata {

// The distributions of request.distributions in rank order, those without an estimate last. weibull2
// and weibull3 are the Weibull fits of the plain analysis (gamma 0, and the profile's location), with
// their own bounds. Throws DataError for a name that is no distribution, or for a request other than
// maximum likelihood with every parameter free; AnalysisCancelled when request.cancel is set.
std::vector<DistributionResult> compareDistributions(const PreparedData& data, const AnalysisRequest& request);

} // namespace lifedata

// The "mixture" member of the analysis JSON: the two-population fit, its criteria, its search and
// its Fisher bounds; with a status other than ok, the one-Weibull fit it fell back to.
#pragma once

#include <string>

#include "mixture_analysis.h"

namespace lifedata {

// The object at `depth`.
std::string mixtureJson(const MixtureAnalysis& mixture, int depth);

} // namespace lifedata

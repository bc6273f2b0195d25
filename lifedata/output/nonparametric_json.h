// The "nonParametric" member of an analysis's JSON document.
#pragma once

#include <string>

#include "nonparametric_estimate.h"

namespace lifedata {

// {"method": .., "steps": [..], "status": ..} at depth 1 of the document: a Kaplan-Meier step is
// {"time", "survival", "lower", "upper"} (null bounds where S is 0), a Turnbull step
// {"time", "from", "survival"} with a null time for an interval reaching infinity.
std::string nonParametricJson(const NonParametricEstimate& estimate);

} // namespace lifedata

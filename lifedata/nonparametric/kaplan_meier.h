// The Kaplan-Meier estimate of failures and suspensions, with Greenwood's variance and bounds on
// the log scale of S (what survfit calls conf.type = "log").
#pragma once

#include "nonparametric_estimate.h"

namespace lifedata {

// Counts are weights; at equal times failures come before suspensions, so a unit suspended at a
// failure time is still at risk there. Steps at failure times only. Intervals are ignored: the
// caller takes the Turnbull estimate for data with intervals.
NonParametricEstimate kaplanMeier(const PreparedData& data, double confidence);

} // namespace lifedata

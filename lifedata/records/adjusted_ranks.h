// Plotting positions of life data for the Weibull plot: Johnson's adjusted ranks, which account for
// suspensions, with Bernard's median rank for the unreliability. The command line's plot and the
// Python package's draw the same points from here.
#pragma once

#include <vector>

#include "life_data.h"

namespace lifedata {

// One point per failure record (an interval's at the middle of its interval), in time order.
struct RankedFailure {
    double time;
    double unreliability;
};

std::vector<RankedFailure> adjustedRankFailures(const LifeData& data);

} // namespace lifedata

// The "distributions" member of an analysis that compares distributions: each one's estimate,
// criteria, status, rank and bounds, in rank order.
#pragma once

#include <string>
#include <vector>

#include "distribution_result.h"

namespace lifedata {

// The array as a value at `depth`:
//   [{"name": .., "parameters": {..}, "logLikelihood": .., "aicc": .., "bic": .., "status": ..,
//     "rank": .., "bounds": {..}, "bLives": [..], "reliability": [..]}, ..]
// A distribution without an estimate has null numbers and null bounds; its status says why.
std::string distributionsJson(int depth, const std::vector<DistributionResult>& distributions);

} // namespace lifedata

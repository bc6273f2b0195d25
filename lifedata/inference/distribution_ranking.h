// The order in which fitted distributions are compared: AICc ascending, then BIC, then name; a
// distribution without an estimate has no rank and comes last.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lifedata {

struct RankingEntry {
    std::string name;
    bool estimated; // false: no estimate, no rank
    double aicc;    // NaN where n <= k + 1: such an entry follows those with a value
    double bic;
};

// The indices of `entries` in rank order; the first `entries with an estimate` of them have ranks 1, 2, ...
std::vector<std::size_t> rankOrder(const std::vector<RankingEntry>& entries);

} // namespace lifedata

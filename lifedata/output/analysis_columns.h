// An analysis as one row of a table, one column per number, for many analyses side by side (a fleet
// of part numbers): the data's counts, each model's estimates and status, the B-lives and
// reliabilities asked for with their bounds, and the likelihood-ratio comparison.
#pragma once

#include <string>
#include <vector>

#include "life_analysis.h"

namespace lifedata {

struct AnalysisColumns {
    std::vector<std::string> numbers; // failures, suspensions, intervals, units, 2p_m, 2p_eta, ...
    std::vector<std::string> texts;   // 2p_status, 3p_status: the status in words
    std::vector<std::string> order;   // all of them in table order
};

// The columns of every analysis made with `request`.
AnalysisColumns analysisColumns(const AnalysisRequest& request);

// The row of `analysis` in the columns above: numbers[k][row] and texts[k][row]. A number that the
// analysis does not have is NaN (null in the JSON document), the others the JSON's values, bit for bit.
void writeAnalysisRow(const Analysis& analysis, const AnalysisRequest& request, double* const* numbers,
                      std::string* const* texts, std::size_t row);

} // namespace lifedata

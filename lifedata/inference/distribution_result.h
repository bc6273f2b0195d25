// One distribution of a comparison: its estimate, criteria, status, rank and bounds.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "distribution_inference.h"

namespace lifedata {

struct DistributionResult {
    std::string name;
    std::vector<std::string> parameterNames; // the JSON names, in the family's order
    bool estimated = false;                  // false: the numbers below are NaN and the status says why
    std::vector<double> parameters;
    double logLikelihood = std::numeric_limits<double>::quiet_NaN();
    InformationCriteria criteria{std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::quiet_NaN()};
    std::string status;
    // Reliabilities at or below it are 1 and have no bounds: gamma, 0 for a family of positive times
    // without one, -infinity for one that allows negative times.
    double location = 0;
    unsigned rank = 0; // 1 for the best; 0 without an estimate
    DistributionInference inference;
};

} // namespace lifedata

// An accelerated life analysis as the JSON document of `varnel --life --stress MODEL --json`,
// shared by the command line and the Python package.
#pragma once

#include <string>

#include "accelerated_analysis.h"

namespace lifedata {

// One object, ended by LF: "method", "data" and "acceleratedLife".
std::string acceleratedAnalysisJson(const AcceleratedAnalysis& analysis);

} // namespace lifedata

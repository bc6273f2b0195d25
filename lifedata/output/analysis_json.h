// An analysis as the JSON document of `varnel --life --json`, shared by the command line and the
// Python package.
#pragma once

#include <string>

#include "life_analysis.h"

namespace lifedata {

// One object, ended by LF.
std::string analysisJson(const Analysis& analysis, const AnalysisRequest& request);

// The "data" member: units by kind, units and lines.
std::string dataSummaryJson(const DataSummary& data);

} // namespace lifedata

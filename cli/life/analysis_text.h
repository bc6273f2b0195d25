// The results of `varnel --life` as text for people.
#pragma once

#include <string>

#include "life_analysis.h"

// The data summary, a table of both models, the comparison and every status in words, ended by LF.
std::string analysisText(const lifedata::Analysis& analysis, const lifedata::AnalysisRequest& request);

// "Data: N units on L lines: F failures, S suspensions, I intervals", ended by LF.
std::string dataSummaryText(const lifedata::DataSummary& data);

// The non-parametric estimate in the text results of `varnel --life`: one row per step.
#pragma once

#include <string>

#include "life_analysis.h"

// Empty when the analysis has no non-parametric estimate; otherwise a blank line, a heading and the
// table, Kaplan-Meier with its bounds at the request's confidence, Turnbull with its intervals.
std::string nonParametricText(const lifedata::Analysis& analysis, const lifedata::AnalysisRequest& request);

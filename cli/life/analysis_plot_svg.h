// The Weibull plot of `varnel --life`: the failures at plotting positions that account for
// suspensions (Johnson's adjusted ranks), the two-parameter fit's line and the three-parameter fit's
// curve.
#pragma once

#include <string>

#include "life_analysis.h"
#include "probability_paper.h"

// On Weibull paper unless `kind` names another; the analysis's non-parametric estimate, where it has
// one, is drawn as steps.
std::string lifeDataPlotSvg(const std::string& dataFile, const lifedata::LifeData& data,
                            const lifedata::Analysis& analysis, PaperKind kind = PaperKind::weibull);

// Writes lifeDataPlotSvg() to `path`; true only when every byte was written and the file closed.
bool writeLifeDataPlot(const std::string& path, const std::string& dataFile, const lifedata::LifeData& data,
                       const lifedata::Analysis& analysis, PaperKind kind = PaperKind::weibull);

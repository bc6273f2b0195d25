// The two pictures of `varnel --life --stress MODEL --plot FILE`: Weibull paper with one line per
// stress, and life against stress in FILE-life-stress.
#pragma once

#include <string>

#include "accelerated_analysis.h"

// Weibull paper: each stress's failures at Johnson's adjusted ranks within that stress, and its
// line of the common slope m through eta(S).
std::string acceleratedWeibullPlotSvg(const std::string& dataFile, const lifedata::LifeData& data,
                                      const lifedata::AcceleratedAnalysis& analysis);

// FILE with "-life-stress" before its extension: plot.svg gives plot-life-stress.svg, a name
// without an extension gets it at its end.
std::string lifeStressPlotPath(const std::string& plotPath);

// Writes both pictures, the B-life of `percent` with its Fisher band at `confidence` in the second.
// False with the path that could not be written in `failedPath`.
bool writeAcceleratedPlots(const std::string& plotPath, const std::string& dataFile, const lifedata::LifeData& data,
                           const lifedata::AcceleratedAnalysis& analysis, double percent, double confidence,
                           std::string& failedPath);

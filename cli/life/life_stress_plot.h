// The second picture of an accelerated analysis: life against stress in the model's straightening
// axes, where ln eta(S) = a + b x(S), and so every B-life, is a straight line.
#pragma once

#include <string>

#include "accelerated_analysis.h"

// x(S) across (1/T for Arrhenius, ln S for the power law, S for the exponential model), labelled
// in the stress as written; life up on a log scale. Draws the failures at their stresses, the data's
// and the use stresses, the B-life of `percent` and its Fisher band at `confidence`.
std::string lifeStressPlotSvg(const std::string& dataFile, const lifedata::LifeData& data,
                              const lifedata::AcceleratedAnalysis& analysis, double percent, double confidence);

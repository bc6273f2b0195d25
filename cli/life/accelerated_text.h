// The results of `varnel --life --stress MODEL` as text for people.
#pragma once

#include <string>

#include "accelerated_analysis.h"

// The data summary, the model with its bounds, each stress's own fit, the common-shape test and
// a table per use stress, ended by LF.
std::string acceleratedText(const lifedata::AcceleratedAnalysis& analysis);

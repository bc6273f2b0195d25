// The mixture of two Weibull populations as text lines for `varnel --life --mixture`.
#pragma once

#include <string>

#include "mixture_analysis.h"

// The status, the estimates with their Fisher bounds, and the comparison with one Weibull.
std::string mixtureText(const lifedata::MixtureAnalysis& mixture);

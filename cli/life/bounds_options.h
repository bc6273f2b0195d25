// The options of `varnel --life` that choose bounds and goodness of fit: --confidence, --b-life,
// --at, --bounds, --bootstrap and --seed, each with a value.
#pragma once

#include <string>

#include "life_analysis.h"

extern const char* const boundsUsageText;

// True for the long name of one of these options.
bool isBoundsOption(const std::string& name);

// Applies the value of option `name` to `request`, or returns false with a one-line reason in
// `error`. The first --b-life replaces the default percents and later ones add to them, as --at adds
// times; `bLifeGiven` carries that from one call to the next (false before the first).
bool applyBoundsOption(const std::string& name, const char* value, lifedata::AnalysisRequest& request,
                       bool& bLifeGiven, std::string& error);

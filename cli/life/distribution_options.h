// The option of `varnel --life` that names the distributions to fit and rank: --distribution NAME,
// repeatable, with "all" for every one.
#pragma once

#include <string>
#include <vector>

extern const char* const distributionUsageText;

// True for "--distribution".
bool isDistributionOption(const std::string& name);

// Adds the distribution `value` names (every one for "all") to `names`, each once and in the order
// the names are documented, or returns false with a reason that lists the names.
bool applyDistributionOption(const char* value, std::vector<std::string>& names, std::string& error);

// The usage problem of --distribution with the rest of the life-data request, or "" where there is
// none: the distributions are maximum-likelihood fits, each at its own location, of their own shape.
std::string distributionConflict(bool methodIsMle, bool locationGiven, bool shapeGiven, bool twoParameterOnly);


// --distribution checks its names against the registry of distributions, so that a new family is an
// option as soon as it is registered.
#include "life/distribution_options.h"

#include <algorithm>

#include "distribution.h"

const char* const distributionUsageText =
    "      --distribution NAME\n"
    "                         fit NAME and rank it by AICc, each with the bounds above; repeatable;\n"
    "                         NAME is weibull2, weibull3, lognormal2, lognormal3, exponential1,\n"
    "                         exponential2, normal, loglogistic, gamma, sev, or all for every one\n";

namespace {

std::string knownNames()
{
    std::string text;
    for (const std::string& name : lifedata::distributionNames())
        text += name + ", ";
    return text + "all";
}

} // namespace

bool isDistributionOption(const std::string& name) { return name == "--distribution"; }

bool applyDistributionOption(const char* value, std::vector<std::string>& names, std::string& error)
{
    const std::vector<std::string>& known = lifedata::distributionNames();
    const std::string word = value;
    if (word != "all" && std::find(known.begin(), known.end(), word) == known.end()) {
        error = "unknown distribution '" + word + "' (use one of " + knownNames() + ")";
        return false;
    }
    std::vector<std::string> chosen;
    for (const std::string& name : known) {
        const bool named = word == "all" || name == word;
        if (named || std::find(names.begin(), names.end(), name) != names.end())
            chosen.push_back(name);
    }
    names = chosen;
    return true;
}

std::string distributionConflict(bool methodIsMle, bool locationGiven, bool shapeGiven, bool twoParameterOnly)
{
    if (!methodIsMle)
        return "--distribution needs --method mle: the distributions are maximum-likelihood fits";
    if (locationGiven)
        return "--distribution cannot be used with -g: each distribution has its own location";
    if (shapeGiven)
        return "--distribution cannot be used with --shape";
    if (twoParameterOnly)
        return "--distribution cannot be used with --two-parameter: name weibull2 instead";
    return "";
}

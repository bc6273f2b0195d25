// The distributions by name: each location-scale family is one row saying which fit coordinate is
// which of (a, ln b, gamma); the gamma family has its own implementation.
#include <iterator>

#include "distribution.h"
#include "gamma_distribution.h"
#include "location_scale_distribution.h"

namespace lifedata {

namespace {

const LocationScaleForm* findForm(const std::string& name)
{
    static const LocationScaleForm forms[] = {
        // The Weibull is the smallest extreme value law of ln x with b = 1/m and a = ln eta.
        {"weibull2", &smallestExtremeValueLaw(), true, 2, {"m", "eta"}, {true, true}, 1, 0, -1, noParameter},
        {"weibull3", &smallestExtremeValueLaw(), true, 3, {"m", "eta", "gamma"}, {true, true, false}, 1, 0, -1, 2},
        {"lognormal2", &normalLaw(), true, 2, {"mu", "sigma"}, {false, true}, 0, 1, 1, noParameter},
        {"lognormal3", &normalLaw(), true, 3, {"mu", "sigma", "gamma"}, {false, true, false}, 0, 1, 1, 2},
        // The exponential is the Weibull with m = 1.
        {"exponential1", &smallestExtremeValueLaw(), true, 1, {"mean"}, {true}, 0, noParameter, 1, noParameter},
        {"exponential2", &smallestExtremeValueLaw(), true, 2, {"mean", "gamma"}, {true, false}, 0, noParameter, 1, 1,
         true},
        {"normal", &normalLaw(), false, 2, {"mean", "sd"}, {false, true}, 0, 1, 1, noParameter},
        // F = 1 / (1 + (t/alpha)^-beta): the logistic law of ln t with b = 1/beta and a = ln alpha.
        {"loglogistic", &logisticLaw(), true, 2, {"alpha", "beta"}, {true, true}, 0, 1, -1, noParameter},
        {"sev", &smallestExtremeValueLaw(), false, 2, {"mu", "sigma"}, {false, true}, 0, 1, 1, noParameter},
    };
    for (const LocationScaleForm& form : forms)
        if (name == form.name)
            return &form;
    return nullptr;
}

} // namespace

const std::vector<std::string>& distributionNames()
{
    static const std::vector<std::string> names = {"weibull2",     "weibull3", "lognormal2",  "lognormal3",
                                                   "exponential1", "exponential2", "normal", "loglogistic",
                                                   "gamma",        "sev"};
    return names;
}

std::unique_ptr<Distribution> makeDistribution(const std::string& name)
{
    if (const LocationScaleForm* form = findForm(name))
        return std::make_unique<LocationScaleDistribution>(*form);
    if (name == "gamma")
        return std::make_unique<GammaDistribution>();
    return nullptr;
}

} // namespace lifedata

// Competing failure modes: each mode's own Weibull, fitted to its failures with every other unit as
// a suspension, and the series system they make together.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "life_data.h"
#include "model_inference.h"
#include "system_reliability.h"
#include "weibull_fit.h"

namespace lifedata {

enum class ModesChoice { none, twoParameter, threeParameter };

struct ModeFit {
    std::string name;
    std::uint64_t failures = 0; // units that failed by this mode, exact or in an interval
    WeibullFit fit;
    ModelInference inference; // the parameters' bounds only
};

struct CompetingModes {
    ModesChoice choice = ModesChoice::none;
    std::vector<ModeFit> modes; // in the order of the data's mode names
    SystemReliability system;   // not available unless every mode has an estimate
};

// The data as mode `mode` sees it: its failures and intervals as they are; the other modes'
// failures as suspensions at their time, their intervals as suspensions at the lower end (the
// unit was seen to survive that long); suspensions as they are. Without modes.
LifeData modeLifeData(const LifeData& data, std::uint32_t mode);

// The fitted modes as the system's parts; empty unless every mode has an estimate.
std::vector<SystemMode> systemModes(const std::vector<ModeFit>& fits);

// Fits every mode of validated data (one mode, "unlabelled", when the data names none), then the
// system's B-lives and reliabilities of `request`. A mode that cannot be fitted has its status.
CompetingModes fitCompetingModes(const LifeData& data, ModesChoice choice, const InferenceRequest& request);

} // namespace lifedata

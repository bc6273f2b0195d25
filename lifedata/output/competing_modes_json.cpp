// Competing modes in JSON, in the layout of the document's other models: a mode without an estimate
// has null values and its status in words, and bounds entries are shaped as everywhere else.
#include "competing_modes_json.h"

#include <string>
#include <vector>

#include "inference_json.h"

namespace lifedata {

namespace {

std::string modeJson(const ModeFit& mode)
{
    constexpr int depth = 2;
    JsonObject object(depth);
    object.add("mode", jsonString(mode.name));
    object.add("failures", std::to_string(mode.failures));
    const bool estimated = mode.fit.status == FitStatus::ok;
    object.addNumberOrNull("m", mode.fit.m, estimated);
    object.addNumberOrNull("eta", mode.fit.eta, estimated);
    object.addNumberOrNull("gamma", mode.fit.gamma, estimated);
    object.addNumberOrNull("logLikelihood", mode.fit.logLikelihood, estimated);
    object.add("status", jsonString(mode.fit.statusText));
    if (mode.inference.available)
        object.add("bounds", parameterBoundsJson(depth + 1, mode.inference));
    else
        object.add("bounds", "null");
    if (!mode.inference.fisherNote.empty())
        object.add("fisherNote", jsonString(mode.inference.fisherNote));
    return object.close();
}

std::string modesJson(const std::vector<ModeFit>& modes)
{
    std::string text = "[";
    for (std::size_t i = 0; i < modes.size(); ++i)
        text += (i == 0 ? "\n    " : ",\n    ") + modeJson(modes[i]);
    return text + (modes.empty() ? "]" : "\n  ]");
}

} // namespace

void addCompetingModesJson(JsonObject& root, const CompetingModes& modes)
{
    root.add("modes", modesJson(modes.modes));
    const SystemReliability& system = modes.system;
    if (!system.available) {
        root.add("system", "null");
        root.add("systemText", jsonString(system.reason));
        return;
    }
    JsonObject object(1);
    object.addNumber("confidence", system.confidence);
    if (!system.fisherNote.empty())
        object.add("fisherNote", jsonString(system.fisherNote));
    object.add("bLives", bLivesJson(2, system.bLives));
    object.add("reliability", reliabilityJson(2, system.reliability, modes.system.gamma));
    root.add("system", object.close());
}

} // namespace lifedata

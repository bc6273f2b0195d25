// The competing modes of an analysis as members of its JSON document: "modes" and "system".
#pragma once

#include "competing_modes.h"
#include "json_text.h"

namespace lifedata {

// Adds "modes": [{"mode", "failures", "m", "eta", "gamma", "logLikelihood", "status", "bounds"}, ..]
// and "system": {"bLives": [..], "reliability": [..]} to `root`, the document at depth 0; the
// system is null with "systemText" saying why where a mode has no estimate.
void addCompetingModesJson(JsonObject& root, const CompetingModes& modes);

} // namespace lifedata

// The competing modes of `varnel --life --modes` as text: a table per mode, then the system.
#pragma once

#include <string>

#include "competing_modes.h"

// Empty when no modes were asked for.
std::string competingModesText(const lifedata::CompetingModes& modes);

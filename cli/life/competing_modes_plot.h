// The competing modes on the Weibull plot of `varnel --life --modes`: a line per mode and the
// series system's curve.
#pragma once

#include "competing_modes.h"
#include "weibull_paper.h"

// Adds the modes with an estimate and, where every mode has one, the system, to `paper`, whose
// time axis is t - location.
void addCompetingModes(WeibullPaper& paper, const lifedata::CompetingModes& modes, double location);

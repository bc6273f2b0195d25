// The mixture of two Weibull populations on the Weibull plot of `varnel --life --mixture`.
#pragma once

#include "mixture_analysis.h"
#include "weibull_paper.h"

// Where the mixture was found: its curve (in place of the three-parameter one, whose slot it takes)
// and its five values in the legend; otherwise a note of its status. `location` is the paper's.
void addMixtureCurve(WeibullPaper& paper, const lifedata::MixtureAnalysis& mixture, double location);

// What the life-data plot draws beside the points and the Weibull line: the non-parametric
// estimate's steps and the fitted models as curves of F, on any probability paper.
#pragma once

#include "life_analysis.h"
#include "weibull_paper.h"

// The corners of the estimate's F = 1 - S over t - location: a Kaplan-Meier step rises at its time;
// a Turnbull step rises across its support interval (from, time], where the estimate does not say
// how its mass lies.
std::vector<StepCorner> nonParametricCorners(const lifedata::NonParametricEstimate& estimate, double location);

// "Kaplan-Meier" or "Turnbull", for the legend.
std::string nonParametricLabel(const lifedata::NonParametricEstimate& estimate);

// A Weibull model's F(t) of t - location, for paper that does not show it as a straight line.
ModelCurve weibullCurve(double m, double eta, double gamma, double location, std::string label, bool emphasised);

// On any paper but Weibull's the two-parameter line is no longer straight: it and the
// three-parameter curve become model curves, the two-parameter one emphasised as the line is.
void weibullModelsAsCurves(WeibullPaper& paper, const lifedata::Analysis& analysis, double location);

// With a comparison of distributions, every estimated one is a curve through its interface's
// survival, labelled with its rank, the best-ranked emphasised; the Weibull line, curve and values
// of an analysis without a comparison give way to them.
void distributionCurves(WeibullPaper& paper, const lifedata::Analysis& analysis, double location);

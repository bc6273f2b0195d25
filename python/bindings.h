// The parts of the extension module, each adding its functions to the module.
#pragma once

#include <string>

#include <pybind11/pybind11.h>

#include "life_analysis.h"
#include "model_inference.h"

// _estimate: the classic estimation of the desktop program on an array of values.
void defineClassicEstimate(pybind11::module_& module);

// DataError, _read_data and _fit: life-data analysis.
void defineLifeDataAnalysis(pybind11::module_& module);

// _unreliability: F(t) of a fitted distribution, for the plot.
void defineDistributionCurve(pybind11::module_& module);
// _fit_accelerated: accelerated life models.
void defineAcceleratedFit(pybind11::module_& module);

// _plan: zero- and few-failure test plans.
void defineTestPlan(pybind11::module_& module);

// The analysis request of a _FitOptions object, checked as _fit checks it.
lifedata::AnalysisRequest fitOptionsRequest(const pybind11::handle& options);

// _fit_groups: one life-data analysis per group of records, as table columns.
void defineGroupFits(pybind11::module_& module);
// The bounds word of the fits ("none", "fisher", "lr", "both"); ValueError for another.
lifedata::BoundsChoice boundsChoice(const std::string& bounds);

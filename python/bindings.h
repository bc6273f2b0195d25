// The parts of the extension module, each adding its functions to the module.
#pragma once

#include <string>

#include <pybind11/pybind11.h>

#include "model_inference.h"

// _estimate: the classic estimation of the desktop program on an array of values.
void defineClassicEstimate(pybind11::module_& module);

// DataError, _read_data and _fit: life-data analysis.
void defineLifeDataAnalysis(pybind11::module_& module);

// _fit_accelerated: accelerated life models.
void defineAcceleratedFit(pybind11::module_& module);

// _plan: zero- and few-failure test plans.
void defineTestPlan(pybind11::module_& module);

// The bounds word of the fits ("none", "fisher", "lr", "both"); ValueError for another.
lifedata::BoundsChoice boundsChoice(const std::string& bounds);

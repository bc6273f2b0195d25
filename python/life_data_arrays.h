// Life data between Python and the core: records from arrays a caller gives, and a data file's
// records as numpy arrays.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "life_data.h"

using DoubleArray = pybind11::array_t<double, pybind11::array::c_style | pybind11::array::forcecast>;

// The records of `times` with their states (None: all failures; else the letters F, S, I in either
// case, as str, bytes or numpy text), counts (None: all 1; else whole numbers) and interval upper
// ends (None: none; read only where the state is I, the time elsewhere). The arrays are read where
// they lie. Throws ValueError or TypeError (pybind11's) for arrays that do not fit.
lifedata::LifeData lifeDataFromArrays(const DoubleArray& times, const pybind11::object& states,
                                      const pybind11::object& counts, const pybind11::object& upper);

// (times, states as '<U1' letters, counts as uint32, interval upper ends) of the records.
pybind11::tuple lifeDataArrays(const lifedata::LifeData& data);

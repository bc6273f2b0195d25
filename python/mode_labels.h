// The failure modes of Python records: one label per record, numbered as the data file's mode words are.
#pragma once

#include <string>

#include <pybind11/pybind11.h>

#include "life_analysis.h"

// Sets data.modes and data.modeNames from `labels` (None: no modes), a str, or None, per record:
// "" or None on a failure or interval is the unlabelled mode, and a suspension takes only "" or None.
// Throws DataError naming the record for a label that does not fit.
void setModeLabels(lifedata::LifeData& data, const pybind11::object& labels);

// "" (no modes), "2p" or "3p"; ValueError otherwise.
lifedata::ModesChoice modesChoice(const std::string& word);

// `varnel --life --by COLUMN FILE.csv`: a fleet's CSV, one analysis per group, as JSON Lines.
#pragma once

#include "options.h"

// Reads the CSV, analyses every group with the other life-data options and writes one JSON document
// per group and line, in the order of the groups' first rows; returns the exit status: 1 when the
// file cannot be read or any group failed.
int runGroupAnalysis(const CliOptions& options);

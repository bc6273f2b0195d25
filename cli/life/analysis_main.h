// `varnel --life` (or --mle): life data (suspensions, intervals, counts) fitted by maximum likelihood
// or rank regression.
#pragma once

#include <string>

#include "options.h"

// The analysis request of the life-data options.
lifedata::AnalysisRequest lifeAnalysisRequest(const CliOptions& options);

// Reads the data file, fits the models asked for and writes the results; returns the exit status.
int runLifeAnalysis(const CliOptions& options);

// The classic method takes each data line as one failure. When the file holds lines that say
// otherwise (suspensions, intervals, counts), says so once on standard error and points to --life.
void warnAboutLifeDataLines(const std::string& path);

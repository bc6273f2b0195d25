// `varnel --life --stress MODEL`: reads accelerated data, fits the model and forms its text or JSON,
// and draws its two plots.
#pragma once

#include <string>

#include "options.h"

struct AcceleratedOutcome {
    std::string error;   // why there are no results; empty when there are
    std::string results; // the text or JSON for standard output
    int status = 0;      // 1 when the fit did not converge or a plot could not be written
};

// A plot that cannot be written is reported on standard error here; the results are still given.
AcceleratedOutcome runAcceleratedAnalysis(const CliOptions& options);

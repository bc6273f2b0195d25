// One accelerated life analysis: the records grouped by stress, the model's fit beside each
// stress's own, the common-shape test, and the bounds at the use stresses.
#pragma once

#include "accelerated_bounds.h"
#include "life_analysis.h"

namespace lifedata {

struct AcceleratedRequest {
    StressModel model = StressModel::arrhenius;
    bool celsius = false;            // stresses (use stresses too) in degrees Celsius; Arrhenius only
    std::vector<double> useStresses; // as the data's stresses are written
    // Its confidence, B-life percents, reliability times, bounds, threads and cancel flag; the
    // rest is not used.
    AnalysisRequest settings;
};

struct AcceleratedAnalysis {
    DataSummary data;
    AcceleratedFit fit;
    AcceleratedInference inference;
};

// Throws DataError for data that cannot be analysed: no stresses, a stress not above 0 (not above
// -273.15 in Celsius), failures at fewer than two stresses; and for a request out of range.
AcceleratedAnalysis analyseAcceleratedLife(const LifeData& data, const AcceleratedRequest& request);

} // namespace lifedata

// The points a general fit takes its start from: Johnson's adjusted ranks of the failures, with each
// interval standing as a failure at its middle, thinned to a few thousand for a large data set.
#pragma once

#include <vector>

#include "distribution.h"
#include "weibull_likelihood.h"

namespace lifedata {

// Ascending in time; every unreliability strictly between 0 and 1.
std::vector<PlotPoint> probabilityPlotPoints(const PreparedData& data);

} // namespace lifedata

// The likelihood-ratio test of a common shape across stresses: each stress with its own m and eta
// against one m shared by all with a free eta per stress, chi-square with K - 1 degrees of freedom
// (K the stresses with failures).
#pragma once

#include "accelerated_life.h"

namespace lifedata {

// Needs every stress with failures to have a fit of its own; otherwise the test is not available
// and its note says why.
CommonShapeTest testCommonShape(const std::vector<StressGroup>& groups, ChunkedWork& work, CancelFlag cancel);

} // namespace lifedata

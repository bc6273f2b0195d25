// The Anderson-Darling statistic of a complete sample against a fitted Weibull distribution.
#pragma once

#include <vector>

#include "chunked_work.h"
#include "fisher_bounds.h"

namespace lifedata {

// A^2 = -n - (1/n) sum_i (2i - 1) [ln F(x_i) + ln(1 - F(x_(n+1-i)))] over the n units of `times`
// (ascending, distinct or not) each repeated `counts` times. +infinity when a time lies at or below
// gamma, where F is 0.
double andersonDarling(const std::vector<double>& times, const std::vector<double>& counts, const WeibullEstimate& fit);

// The same with the terms spread over the helpers of `work`; the same bits for any number of them.
double andersonDarling(const std::vector<double>& times, const std::vector<double>& counts, const WeibullEstimate& fit,
                       ChunkedWork& work);

} // namespace lifedata

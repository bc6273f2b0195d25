// The Turnbull estimate, the non-parametric maximum likelihood estimate of a distribution from
// intervals (a, b], exact failures (as intervals [t, t]) and suspensions (as (t, infinity)).
#pragma once

#include "nonparametric_estimate.h"

namespace lifedata {

// The self-consistency (EM) algorithm on the Turnbull intervals, run until the largest change of a
// probability in one iteration is below 1e-10, or for at most `iterationCap` iterations: then the
// estimate says so in its status and is not converged.
NonParametricEstimate turnbull(const PreparedData& data, std::size_t iterationCap);

} // namespace lifedata

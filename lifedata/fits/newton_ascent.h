// Newton's method on a distribution's log-likelihood in its fit coordinates p, with a safeguarded
// step: where the Hessian is not negative definite it is shifted (Levenberg-Marquardt) until it is,
// and every step is halved until the likelihood does not fall. It stops where the Newton steps are
// as small as the Weibull fits ask of theirs.
#pragma once

#include <limits>

#include "distribution.h"
#include "distribution_likelihood.h"

namespace lifedata {

struct AscentLimits {
    std::size_t held = noParameter;    // a coordinate kept at its start value
    std::size_t bounded = noParameter; // a coordinate kept strictly inside (low, high)
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
};

struct Ascent {
    bool converged = false;
    double p[maximumDistributionParameters] = {};
    PointTerms terms; // the log-likelihood at p, to order 2
    int iterations = 0;
};

// From `start`, which must give a finite likelihood for the climb to begin.
Ascent ascend(DistributionLikelihood& likelihood, const Distribution& distribution, const double* start,
              const AscentLimits& limits = {});

} // namespace lifedata

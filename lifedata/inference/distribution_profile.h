// The profile log-likelihood of one quantity of any distribution: the maximum of the log-likelihood
// over the other fit coordinates with the quantity's coordinate s held. One coordinate (the held
// parameter itself, else a location or the scale) is solved from the constraint, and the rest are
// maximised by Newton's method on the constrained likelihood, so that the same code holds a
// parameter, a B-life or a reliability of every family.
#pragma once

#include <cstddef>

#include "distribution_likelihood.h"
#include "distribution_quantity.h"

namespace lifedata {

struct DistributionProfile {
    QuantityContext context;
    DistributionLikelihood* likelihood; // of the data, with its helper threads
    DistributionQuantity quantity;
    std::size_t solved;                                 // the coordinate the constraint fixes
    std::size_t freeCount;                              // how many are maximised over
    std::size_t free[maximumDistributionParameters];    // which
};

// The profile of `quantity` at the estimate p (which gives a held location its value).
DistributionProfile makeDistributionProfile(const QuantityContext& context, DistributionLikelihood& likelihood,
                                            const DistributionQuantity& quantity, const double* estimate);

struct HeldMaximum {
    bool found = false;
    double value = 0;
    double slope = 0; // d value / d s
    double p[maximumDistributionParameters] = {};
};

// The constrained maximum at s from `start` (the nearest maximum already found, or the estimate).
HeldMaximum maximizeHeldQuantity(const DistributionProfile& profile, double s, const double* start);

} // namespace lifedata

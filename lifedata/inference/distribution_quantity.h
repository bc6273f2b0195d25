// The quantities whose bounds a fitted distribution reports (a parameter, a B-life, a reliability),
// each through a coordinate s that runs without limit both ways, with the gradient of s in the
// distribution's fit coordinates p. The Fisher bounds and the likelihood-ratio profiles of every
// family share these, so that no family needs bounds of its own.
#pragma once

#include <cstddef>

#include "distribution.h"

namespace lifedata {

enum class QuantityKind { parameter, bLife, reliability };

struct DistributionQuantity {
    QuantityKind kind;
    std::size_t index; // of a parameter
    double argument;   // the percent of a B-life, the time of a reliability
};

// What the coordinates of a fitted distribution depend on besides p.
struct QuantityContext {
    const Distribution* distribution;
    bool locationFree;      // the distribution has a location and it was estimated (not held at x1)
    double smallestFailure; // x1: a free location stays below it
};

// s and its gradient in p; `defined` is false where the quantity has no bounds (a reliability at or
// below the location, or one that is exactly 0 or 1).
struct QuantityCoordinate {
    bool defined = false;
    double s = 0;
    double gradient[maximumDistributionParameters] = {};
};

// The coordinate of each quantity:
//   a positive parameter: its logarithm (p itself); a free threshold location gamma: -ln(x1 - gamma);
//   any other location (mu, the normal's mean): itself;
//   a B-life: t_P itself where the model allows negative times or gamma is free, else ln(t_P - gamma);
//   a reliability: the family's standard variable u, or the logit of R for a family without one.
QuantityCoordinate quantityCoordinate(const QuantityContext& context, const DistributionQuantity& quantity,
                                      const double* p);

// The quantity at coordinate s (the inverse of the above; `p` gives the held location of a B-life).
double quantityAt(const QuantityContext& context, const DistributionQuantity& quantity, double s, const double* p);

// True where the quantity falls as its coordinate rises (a reliability through u).
bool fallsWithCoordinate(const QuantityContext& context, const DistributionQuantity& quantity);

// True where the coordinate is a logarithm or a standard variable (steps of order 1), false where it
// is in the units of time (a location, a B-life written linearly).
bool unitFreeCoordinate(const QuantityContext& context, const DistributionQuantity& quantity);

// The value of the quantity at p: the parameter, t_P, or R(t).
double quantityValue(const QuantityContext& context, const DistributionQuantity& quantity, const double* p);

// The location held in p, or 0 for a family without one.
double locationOf(const QuantityContext& context, const double* p);

} // namespace lifedata

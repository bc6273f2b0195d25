// The profile log-likelihood of one quantity (m, eta, gamma, a B-life or a reliability): the maximum
// of the log-likelihood over the other parameters with the quantity held at a value. Each quantity is
// held through a coordinate s that runs without limit both ways, and the maximum is found by Newton's
// method in the one or two free coordinates, from a start the caller keeps (the neighbouring
// maximum), so that with three parameters the maximum followed is the interior one that grows out of
// the estimate, never the rise of the likelihood at the smallest failure.
#pragma once

#include "weibull_likelihood.h"

namespace lifedata {

enum class HeldQuantity { shape, scale, location, bLife, reliability };

struct ProfileProblem {
    LikelihoodEvaluator* likelihood; // of the data, with its helper threads
    bool threeParameter;
    double gamma;            // the fixed location (two parameters)
    double smallestFailure;  // x1 (three parameters): gamma stays below it
    double scale;            // a typical time (the estimated eta), for steps in gamma
    HeldQuantity quantity;
    double percent;          // of a B-life
    double time;             // of a reliability
};

// The coordinate s of each quantity q:
//   shape: ln m; scale: ln eta; location: -ln(x1 - gamma);
//   B-life: ln(t_P - gamma) with two parameters, t_P itself with three (it may be negative);
//   reliability: u = ln(-ln R) = m (ln(t - gamma) - ln eta).
double heldCoordinate(const ProfileProblem& problem, double m, double eta, double gamma);
double heldQuantity(const ProfileProblem& problem, double s);

// The free coordinates of the estimate (m, eta, gamma), a start for the first maximum: two of
// ln m, ln eta, gamma, and for a three-parameter B-life ln(t_P - gamma) in place of gamma.
struct FreePoint {
    double theta[2];
};
FreePoint freeCoordinates(const ProfileProblem& problem, double m, double eta, double gamma);

struct ConstrainedMaximum {
    bool found;     // false: no interior maximum near the start (or no convergence)
    double value;   // the log-likelihood there
    double slope;   // d value / d s (the partial derivative in s at the maximum)
    FreePoint point;
};

// `iterationLimit` Newton iterations at most: a start on the same branch close by needs a few.
ConstrainedMaximum maximizeHeld(const ProfileProblem& problem, double s, const FreePoint& start,
                                int iterationLimit = 100);

// How far apart the maxima at two held values lie, in logarithms: of m or eta where free, and with
// three parameters of gamma's room below its limit. A step along one branch of maxima moves them
// little; a jump to another branch (gamma hugging the smallest failure) moves gamma's room far.
double branchDistance(const ProfileProblem& problem, double sFrom, const FreePoint& from, double sTo,
                      const FreePoint& to);

} // namespace lifedata

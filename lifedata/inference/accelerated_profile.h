// The profile log-likelihood of an accelerated life model with one quantity held: m, a, b, or at
// a use stress ln eta, ln t_P or u = m (ln t - ln eta). With the quantity s held, two free
// coordinates phi remain and q = (ln m, a, b) is a function of (s, phi); the profile is the maximum
// over phi, and its slope in s is the likelihood's gradient along dq/ds there.
#pragma once

#include "accelerated_life.h"
#include "profile_side_search.h"

namespace lifedata {

enum class AcceleratedQuantity { shape, intercept, slope, eta, bLife, reliability };

struct HeldAcceleratedQuantity {
    AcceleratedQuantity quantity;
    double x = 0;        // the use stress's variable
    double argument = 0; // ln(-ln(1 - P)) of a B-life; ln t of a reliability
};

// s of the quantity at (ln m, a, b).
double heldValue(const HeldAcceleratedQuantity& held, const double (&q)[3]);

// The profile as findProfileSide() calls it: each call starts from the free coordinates of the
// last one that had a maximum.
class AcceleratedProfile {
public:
    AcceleratedProfile(const AcceleratedLikelihood& likelihood, const HeldAcceleratedQuantity& held,
                       const double (&estimate)[3]);
    ProfileValue operator()(double s);

private:
    const AcceleratedLikelihood& likelihood_;
    HeldAcceleratedQuantity held_;
    double startFree_[2];
    double lastFree_[2];
};

} // namespace lifedata

// The profile log-likelihoods of a two-parameter fit to failures and suspensions, fast: with the
// location fixed, every held quantity leaves one free parameter, and the log-likelihood needs only
// the sums S_k(m) = sum c x^m (ln x)^k (k = 0, 1, 2) over all records, one exponential per record
// and pass, with ln x computed once.
#pragma once

#include <vector>

#include "chunked_work.h"
#include "constrained_profile.h"
#include "weibull_likelihood.h"

namespace lifedata {

class CensoredTwoParameterProfile {
public:
    // For data without intervals, at location `gamma` (below every record).
    CensoredTwoParameterProfile(const PreparedData& data, double gamma, ChunkedWork& work);

    // The log-likelihood at (m, eta), constants included as evaluateLikelihood has them.
    double logLikelihood(double m, double eta);

    // The maximum over the free parameter with `quantity` held at coordinate s (as heldCoordinate
    // has it), its slope in s, and the m where it lies; `startM` is where Newton's method starts.
    struct Maximum {
        bool found;
        double value;
        double slope;
        double m;
    };
    Maximum maximize(HeldQuantity quantity, double argument, double s, double startM);

private:
    struct Sums {
        double S0, S1, S2;
    };
    Sums sums(double m);
    // Newton's method on g(m) from startM, no step longer than largestStep.
    Maximum newton(HeldQuantity quantity, double C, double K, double startM, double largestStep, int iterationLimit);

    double gamma_;
    std::vector<double> lnX_;    // every record, failures and suspensions
    std::vector<double> counts_;
    double failures_ = 0;        // r: failure units
    double failureLogs_ = 0;     // sum over failures of c ln x
    ChunkedWork& work_;
    std::vector<Sums> partial_;  // per chunk
};

} // namespace lifedata

// The maximum-likelihood mixture of two Weibull populations, F = p F1 + (1 - p) F2. Its likelihood
// is unbounded on exact failures (a component may sit on one failure with a shape growing without
// limit), so the search keeps only proper maxima: stationary points with 0 < p < 1 and finite
// shapes, reached by EM and then Newton from starts that split the ordered failures.
#pragma once

#include <limits>
#include <string>

#include "mixture_likelihood.h"
#include "weibull_fit.h"

namespace lifedata {

enum class MixtureStatus {
    ok,
    onePopulation,  // no proper maximum, or none that gains enough over one Weibull
    smallComponent, // proper maxima exist, but each has a component of fewer than 2 expected failures
};

// The words of a status, as the programs show them.
const char* mixtureStatusText(MixtureStatus status);

// Less than this gain in log-likelihood over one Weibull is no second population.
constexpr double mixtureGainThreshold = 1e-6;
// A component must hold at least this many expected failures.
constexpr double mixtureMinimumFailures = 2;

struct MixtureFit {
    MixtureStatus status = MixtureStatus::onePopulation;
    std::string statusText = mixtureStatusText(MixtureStatus::onePopulation);
    // Components by ascending eta; p is the first's weight. NaN unless the status is ok.
    double p = std::numeric_limits<double>::quiet_NaN();
    double m[2] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    double eta[2] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    double theta[mixtureParameters] = {};        // (logit p, ln m1, ln eta1, ln m2, ln eta2)
    double logLikelihood = std::numeric_limits<double>::quiet_NaN();
    double expectedFailures[2] = {0, 0};
    double hessian[mixtureParameters][mixtureParameters] = {}; // of the log-likelihood in theta
    unsigned starts = 0;          // the starts run
    unsigned startsAtMaximum = 0; // those that reached the maximum reported
};

// The mixture of two-parameter Weibulls (location 0) of data that can be fitted at all. `one` is the
// one-Weibull fit at location 0 that the gain is measured against.
MixtureFit fitWeibullMixture(const PreparedData& data, const WeibullFit& one, const FitSettings& settings);

} // namespace lifedata

// Maximum-likelihood Weibull fits: two parameters at a fixed location, and three parameters through
// the profile likelihood in the location.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "weibull_likelihood.h"

namespace lifedata {

enum class FitStatus {
    ok,
    notConverged,
    tooFewFailures,
    noInteriorMaximum,
    noFiniteMaximum,
    profileNotEvaluated, // no interior maximum among the profile's values, and some could not be computed
    notFitted,
    zeroFailures, // a known shape and no failure: only a bound on eta
    locationAtSmallestFailure // the likelihood's maximum in the location is at x1 itself, a proper one
};

// The words of a status, as the programs show them.
const char* fitStatusText(FitStatus status);

struct WeibullFit {
    FitStatus status = FitStatus::notFitted;
    std::string statusText = fitStatusText(FitStatus::notFitted); // "ok" or what went wrong, in words
    double m = std::numeric_limits<double>::quiet_NaN();            // NaN where there is no estimate
    double eta = std::numeric_limits<double>::quiet_NaN();
    double gamma = std::numeric_limits<double>::quiet_NaN();
    double logLikelihood = std::numeric_limits<double>::quiet_NaN();
    double rSquared = std::numeric_limits<double>::quiet_NaN(); // rank regression only
    int iterations = 0;
};

// A fit with `status` and its words, and no estimate.
WeibullFit withStatus(FitStatus status);

// Throws DataError when the data cannot be fitted at all: no failures, or fewer than 2 distinct
// failure times.
void checkFittable(const PreparedData& data);

// Throws DataError unless `gamma` is below the smallest failure time.
void checkLocation(const PreparedData& data, double gamma);

// The classic scale t0 = eta^m of a fit; NaN without an estimate.
double fitT0(const WeibullFit& fit);

// m and eta at location `gamma` (below the smallest failure). Throws DataError for data that cannot
// be fitted (no failures, fewer than 2 distinct failure times).
WeibullFit fitTwoParameter(const PreparedData& data, double gamma, const FitSettings& settings);

struct ProfilePoint {
    double gamma;
    double logLikelihood; // the two-parameter maximum at gamma
};

struct ThreeParameterFit {
    WeibullFit fit;
    std::vector<ProfilePoint> profile; // ascending in gamma
};

// The highest interior local maximum of the profile log-likelihood over gamma below x1, or a status
// saying why there is none (the profile is still given).
ThreeParameterFit fitThreeParameter(const PreparedData& data, const FitSettings& settings);

} // namespace lifedata

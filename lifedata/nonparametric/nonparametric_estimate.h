// The non-parametric estimate of survival beside the fitted distributions: Kaplan-Meier for
// failures and suspensions, the Turnbull estimate when the data hold intervals. Engineers read it to
// see which fitted curve follows the data; it assumes no distribution of its own.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "weibull_likelihood.h"

namespace lifedata {

enum class NonParametricMethod { kaplanMeier, turnbull };

// "kaplan-meier" or "turnbull", the word of the JSON.
const char* nonParametricMethodName(NonParametricMethod method);

// One step of the survival function. Kaplan-Meier steps at a failure time (from == time) with its
// confidence bounds, NaN where S is 0. A Turnbull step is a support interval (from, time] with
// positive mass (time is +infinity for an interval reaching infinity, and from == time for an exact
// failure); its bounds are NaN, as the estimate gives none.
struct SurvivalStep {
    double from;
    double time;
    double survival; // S just after the step
    double lower = std::numeric_limits<double>::quiet_NaN();
    double upper = std::numeric_limits<double>::quiet_NaN();
};

struct NonParametricEstimate {
    NonParametricMethod method = NonParametricMethod::kaplanMeier;
    std::vector<SurvivalStep> steps;
    bool converged = true;      // false only for a Turnbull estimate stopped by its iteration cap
    std::size_t iterations = 0; // of the Turnbull estimate's self-consistency algorithm
    std::string statusText = "ok";
};

struct NonParametricSettings {
    double confidence = 0.95;          // two-sided, of the Kaplan-Meier bounds
    std::size_t iterationCap = 100000; // of the Turnbull estimate
};

// Kaplan-Meier for data without intervals, Turnbull otherwise.
NonParametricEstimate estimateNonParametric(const PreparedData& data, const NonParametricSettings& settings = {});

} // namespace lifedata

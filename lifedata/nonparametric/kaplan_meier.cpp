// Kaplan-Meier with Greenwood's variance. The counts are whole numbers far below 2^53, so the
// numbers at risk are exact, and the product and the variance sum run in time order: a count and the
// same units written line by line give the same bits.
#include "kaplan_meier.h"

#include <algorithm>
#include <cmath>

#include "normal_quantile.h"

namespace lifedata {

namespace {

double total(const std::vector<double>& counts)
{
    double sum = 0;
    for (double count : counts)
        sum += count;
    return sum;
}

} // namespace

NonParametricEstimate kaplanMeier(const PreparedData& data, double confidence)
{
    NonParametricEstimate estimate;
    estimate.method = NonParametricMethod::kaplanMeier;
    const double z = normalQuantile(0.5 + confidence / 2);
    const std::vector<double>& times = data.failureTimes;
    const std::vector<double>& deaths = data.failureCounts;
    const std::vector<double>& suspended = data.suspensionTimes;
    double atRisk = total(deaths) + total(data.suspensionCounts);
    double survival = 1;
    double greenwood = 0; // the variance of ln S
    std::size_t s = 0;
    estimate.steps.reserve(times.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
        // Suspended before this failure time: no longer at risk. A suspension at the time itself is.
        for (; s < suspended.size() && suspended[s] < times[i]; ++s)
            atRisk -= data.suspensionCounts[s];
        const double d = deaths[i];
        survival *= (atRisk - d) / atRisk;
        SurvivalStep step{times[i], times[i], survival};
        if (d < atRisk) {
            greenwood += d / (atRisk * (atRisk - d));
            // One exponential serves both bounds: a million steps spend most of their time here.
            const double factor = std::exp(z * std::sqrt(greenwood));
            step.lower = survival / factor;
            step.upper = std::min(1.0, survival * factor);
        }
        estimate.steps.push_back(step);
        atRisk -= d;
    }
    return estimate;
}

} // namespace lifedata

// The fitted distribution in the numbers people quote: its mean, median, mode and variance. For
// large m the variance is a difference of two nearly equal numbers and keeps about 16 - 2 log10(m)
// digits.
#pragma once

namespace lifedata {

struct DistributionSummary {
    double mean;
    double median;
    double mode;     // gamma for m <= 1, where the density is highest at the location itself
    double variance;
};

DistributionSummary weibullSummary(double m, double eta, double gamma);

} // namespace lifedata

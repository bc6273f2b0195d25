// The record-by-record sums of the likelihood's terms, for a family that forms nothing once per batch.
#include "distribution.h"

namespace lifedata {

void addWeightedTerms(PointTerms& sums, const PointTerms& terms, double count, int order)
{
    constexpr std::size_t n = maximumDistributionParameters;
    sums.value += count * terms.value;
    if (order < 1)
        return;
    for (std::size_t i = 0; i < n; ++i) {
        sums.gradient[i] += count * terms.gradient[i];
        if (order < 2)
            continue;
        for (std::size_t j = i; j < n; ++j)
            sums.hessian[i][j] += count * terms.hessian[i][j];
    }
}

PointTerms Distribution::sumLogDensities(const double* times, const double* counts, std::size_t count,
                                         const double* p, int order) const
{
    return sumWeightedTerms(times, counts, count, order, [&](double t) { return logDensity(t, p, order); });
}

PointTerms Distribution::sumLogSurvivals(const double* times, const double* counts, std::size_t count,
                                         const double* p, int order) const
{
    return sumWeightedTerms(times, counts, count, order, [&](double t) { return logSurvival(t, p, order); });
}

} // namespace lifedata

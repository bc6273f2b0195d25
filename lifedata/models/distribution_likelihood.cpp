// Each record's terms come from the distribution; every chunk of records gives its partial sums, and
// the partial sums are added in chunk order, kind after kind.
#include "distribution_likelihood.h"

#include "chunk_sums.h"

namespace lifedata {

namespace {

constexpr std::size_t n = maximumDistributionParameters;

// Partial sums of one chunk: the value, the gradient and the upper half of the Hessian.
struct Sums {
    double value = 0;
    double g[n] = {};
    double h[n][n] = {};

    void add(const Sums& other)
    {
        value += other.value;
        for (std::size_t i = 0; i < n; ++i) {
            g[i] += other.g[i];
            for (std::size_t j = i; j < n; ++j)
                h[i][j] += other.h[i][j];
        }
    }

    void add(const PointTerms& terms, double count, int order_)
    {
        value += count * terms.value;
        if (order_ < 1)
            return;
        for (std::size_t i = 0; i < n; ++i) {
            g[i] += count * terms.gradient[i];
            if (order_ < 2)
                continue;
            for (std::size_t j = i; j < n; ++j)
                h[i][j] += count * terms.hessian[i][j];
        }
    }
};

} // namespace

PointTerms DistributionLikelihood::evaluate(const double* p, int order)
{
    stopIfCancelled(cancel_);
    const PreparedData& d = data_;
    const Distribution& f = distribution_;
    Sums total = sumInChunks<Sums>(work_, 0, d.failureTimes.size(), [&](Sums& sums, std::size_t i) {
        sums.add(f.logDensity(d.failureTimes[i], p, order), d.failureCounts[i], order);
    });
    total.add(sumInChunks<Sums>(work_, 0, d.suspensionTimes.size(), [&](Sums& sums, std::size_t i) {
        sums.add(f.logSurvival(d.suspensionTimes[i], p, order), d.suspensionCounts[i], order);
    }));
    total.add(sumInChunks<Sums>(work_, 0, d.intervalLower.size(), [&](Sums& sums, std::size_t i) {
        sums.add(f.logIntervalProbability(d.intervalLower[i], d.intervalUpper[i], p, order), d.intervalCounts[i],
                 order);
    }));

    PointTerms result;
    result.value = total.value;
    const std::size_t k = f.parameterCount();
    for (std::size_t i = 0; i < k; ++i) {
        result.gradient[i] = order >= 1 ? total.g[i] : 0;
        for (std::size_t j = i; j < k; ++j)
            result.hessian[i][j] = result.hessian[j][i] = order >= 2 ? total.h[i][j] : 0;
    }
    return result;
}

PointTerms distributionLikelihood(const Distribution& distribution, const PreparedData& data, const double* p,
                                  int order, const FitSettings& settings)
{
    std::unique_ptr<ChunkedWork> work = makeWork(data, settings);
    return DistributionLikelihood(distribution, data, *work).evaluate(p, order);
}

} // namespace lifedata

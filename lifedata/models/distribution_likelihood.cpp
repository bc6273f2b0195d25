// Each chunk of records is one batch of the distribution, which gives its partial sums record by
// record; the partial sums are added in chunk order, kind after kind.
#include "distribution_likelihood.h"

#include <cstdint>
#include <vector>

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

    Sums() = default;
    explicit Sums(const PointTerms& terms) : value(terms.value)
    {
        for (std::size_t i = 0; i < n; ++i) {
            g[i] = terms.gradient[i];
            for (std::size_t j = i; j < n; ++j)
                h[i][j] = terms.hessian[i][j];
        }
    }
};

// The sums of one kind of record over [0, count), chunk by chunk, each chunk one batch of the family.
template <class AddBatch>
Sums sumInBatches(ChunkedWork& work, std::size_t count, const AddBatch& addBatch, Sums total)
{
    std::vector<Sums> partial(ChunkedWork::chunkCount(static_cast<std::uint32_t>(count)));
    auto compute = [&](std::uint32_t chunk, std::uint32_t begin, std::uint32_t end) {
        PointTerms sums;
        addBatch(begin, end - begin, sums);
        partial[chunk] = Sums(sums);
    };
    auto consume = [&](std::uint32_t chunk, std::uint32_t, std::uint32_t) { total.add(partial[chunk]); };
    work.run(static_cast<std::uint32_t>(count), compute, consume);
    return total;
}

} // namespace

PointTerms DistributionLikelihood::evaluate(const double* p, int order)
{
    stopIfCancelled(cancel_);
    const PreparedData& d = data_;
    const Distribution& f = distribution_;
    Sums total = sumInBatches(work_, d.failureTimes.size(), [&](std::size_t first, std::size_t count, PointTerms& sums) {
        sums = f.sumLogDensities(&d.failureTimes[first], &d.failureCounts[first], count, p, order);
    }, Sums{});
    total.add(sumInBatches(work_, d.suspensionTimes.size(), [&](std::size_t first, std::size_t count, PointTerms& sums) {
        sums = f.sumLogSurvivals(&d.suspensionTimes[first], &d.suspensionCounts[first], count, p, order);
    }, Sums{}));
    total.add(sumInBatches(work_, d.intervalLower.size(), [&](std::size_t first, std::size_t count, PointTerms& sums) {
        for (std::size_t i = first; i < first + count; ++i)
            addWeightedTerms(sums, f.logIntervalProbability(d.intervalLower[i], d.intervalUpper[i], p, order),
                             d.intervalCounts[i], order);
    }, Sums{}));

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

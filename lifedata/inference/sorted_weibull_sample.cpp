// The sorted sample comes from the order statistics of the unit exponential (Renyi's
// representation): with E_i independent unit exponentials, the k-th smallest of n is
// Z_(k) = sum_{i<k} E_i / (n - i), exactly in distribution, and the Weibull order statistics are
// gamma + eta Z_(k)^(1/m), since that map is increasing. So the sample has the distribution of n
// units drawn one by one and sorted, without the sort.
//
// The spacings and the powers are computed chunk by chunk on any thread; the running sum is formed
// on the calling thread in unit order with a compensated sum, so the top of a sample of millions
// carries the rounding of one addition rather than of millions.
#include "sorted_weibull_sample.h"

#include <cmath>
#include <limits>
#include <new>

#include "random_stream.h"

namespace lifedata {

PreparedData drawSortedWeibullSample(const WeibullEstimate& model, std::uint64_t units, std::uint64_t seed,
                                     std::uint32_t sample, ChunkedWork& work)
{
    // The pool counts units in 32 bits; a larger sample could never be held anyway.
    if (units > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    const auto n = static_cast<std::uint32_t>(units);
    PreparedData data;
    std::vector<double>& times = data.failureTimes;
    times.resize(n);

    const auto spacings = [&](std::uint32_t chunk, std::uint32_t begin, std::uint32_t end) {
        RandomStream stream(seed, (static_cast<std::uint64_t>(sample) << 32) + chunk);
        for (std::uint32_t i = begin; i < end; ++i)
            times[i] = -std::log(stream.uniform()) / static_cast<double>(n - i);
    };
    double sum = 0, compensation = 0;
    auto runningSum = [&](std::uint32_t, std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t i = begin; i < end; ++i) {
            const double y = times[i] - compensation;
            const double t = sum + y;
            compensation = (t - sum) - y;
            sum = t;
            times[i] = sum;
        }
    };
    work.run(n, spacings, runningSum);
    const double inverseShape = 1 / model.m;
    work.run(n, [&](std::uint32_t, std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t i = begin; i < end; ++i)
            times[i] = model.gamma + model.eta * std::pow(times[i], inverseShape);
    });

    // Neighbours that round to the same double become one value with a count.
    std::vector<double>& counts = data.failureCounts;
    counts.reserve(n);
    std::size_t distinct = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (distinct > 0 && times[i] == times[distinct - 1]) {
            counts.back() += 1;
            continue;
        }
        times[distinct++] = times[i];
        counts.push_back(1);
    }
    times.resize(distinct);
    times.shrink_to_fit();
    data.failureUnits = n;
    data.distinctFailureTimes = distinct;
    data.largestTime = distinct > 0 ? times.back() : 0;
    return data;
}

} // namespace lifedata

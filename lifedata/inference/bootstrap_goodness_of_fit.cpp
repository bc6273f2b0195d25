// The refits are independent: each is one chunk of the shared per-index work, computed on whichever
// thread claims it with single-threaded fits inside (the threads are already busy with other
// refits), and written to its own place; the count is made afterwards in sample order.
#include "bootstrap_goodness_of_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "anderson_darling.h"
#include "chunked_work.h"
#include "random_stream.h"
#include "weibull_fit.h"

namespace lifedata {

namespace {

// A^2 of one sample against its own refit; NaN when the refit has no interior maximum.
double refitStatistic(const BootstrapRequest& request, std::uint64_t index)
{
    RandomStream stream(request.seed, index);
    LifeData sample;
    sample.values.resize(request.units);
    for (double& value : sample.values)
        value = weibullDraw(stream, request.fitted.m, request.fitted.eta, request.fitted.gamma);
    std::sort(sample.values.begin(), sample.values.end());
    sample.upper = sample.values;
    sample.states.assign(request.units, State::failure);
    sample.counts.assign(request.units, 1);

    const FitSettings single{1};
    try {
        const PreparedData data = prepareLifeData(sample);
        const WeibullFit fit = request.threeParameter ? fitThreeParameter(data, single).fit
                                                      : fitTwoParameter(data, request.fitted.gamma, single);
        if (fit.status != FitStatus::ok)
            return std::numeric_limits<double>::quiet_NaN();
        return andersonDarling(data.failureTimes, data.failureCounts, {fit.m, fit.eta, fit.gamma});
    } catch (const DataError&) {
        // Too few distinct values to fit: no refit.
        return std::numeric_limits<double>::quiet_NaN();
    }
}

} // namespace

BootstrapResult bootstrapAndersonDarling(const BootstrapRequest& request)
{
    std::vector<double> statistics(request.samples);
    const unsigned threads = request.threads != 0 ? request.threads : std::thread::hardware_concurrency();
    ChunkedWork work(threads > 1 ? threads - 1 : 0);
    // One chunk per sample: chunk b of a count of B whole chunks is refit b.
    const auto compute = [&](std::uint32_t chunk, std::uint32_t, std::uint32_t) {
        // A helper thread must not throw: once cancelled, the remaining refits are skipped and the
        // calling thread gives up after the run.
        if (!isCancelled(request.cancel))
            statistics[chunk] = refitStatistic(request, chunk);
    };
    work.run(request.samples * ChunkedWork::chunkSize, compute);
    stopIfCancelled(request.cancel);

    BootstrapResult result{std::numeric_limits<double>::quiet_NaN(), 0, 0};
    unsigned atLeast = 0;
    for (double statistic : statistics) {
        if (std::isnan(statistic)) {
            ++result.failedRefits;
            continue;
        }
        ++result.used;
        atLeast += statistic >= request.statistic;
    }
    if (result.used > 0)
        result.pValue = (1.0 + atLeast) / (result.used + 1.0);
    return result;
}

} // namespace lifedata

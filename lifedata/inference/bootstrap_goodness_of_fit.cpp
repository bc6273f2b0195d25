// Many small refits are spread over the threads whole: each is one chunk of the shared per-index
// work, computed on whichever thread claims it with single-threaded draws and fits inside, and
// written to its own place. A large sample instead has enough units to keep every thread busy on
// its own, so the refits run one after another, each spread over the threads. Either way the
// statistics are counted afterwards in sample order, and a sample's bits depend only on (seed,
// sample index), never on the threads or on which way was taken.
#include "bootstrap_goodness_of_fit.h"

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "anderson_darling.h"
#include "chunked_work.h"
#include "sorted_weibull_sample.h"
#include "weibull_fit.h"

namespace lifedata {

namespace {

// From this sample size on, one refit is worth spreading over the threads.
constexpr std::uint64_t sharedRefitUnits = 16384;

// A^2 of sample `index` against its own refit; NaN when the refit has no interior maximum.
double refitStatistic(const BootstrapRequest& request, std::uint32_t index, ChunkedWork& work,
                      const FitSettings& settings)
{
    const PreparedData data = drawSortedWeibullSample(request.fitted, request.units, request.seed, index, work);
    try {
        const WeibullFit fit = request.threeParameter ? fitThreeParameter(data, settings).fit
                                                      : fitTwoParameter(data, request.fitted.gamma, settings);
        if (fit.status != FitStatus::ok)
            return std::numeric_limits<double>::quiet_NaN();
        return andersonDarling(data.failureTimes, data.failureCounts, {fit.m, fit.eta, fit.gamma}, work);
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
    if (request.units < sharedRefitUnits) {
        // One chunk per sample: chunk b of a count of B whole chunks is refit b. A helper thread must
        // not throw: once cancelled, the remaining refits are skipped and the calling thread gives up
        // after the run.
        const auto compute = [&](std::uint32_t chunk, std::uint32_t, std::uint32_t) {
            if (isCancelled(request.cancel))
                return;
            ChunkedWork alone(0);
            statistics[chunk] = refitStatistic(request, chunk, alone, FitSettings{1});
        };
        work.run(request.samples * ChunkedWork::chunkSize, compute);
        stopIfCancelled(request.cancel);
    } else {
        for (std::uint32_t b = 0; b < request.samples; ++b) {
            stopIfCancelled(request.cancel);
            statistics[b] = refitStatistic(request, b, work, FitSettings{threads});
        }
    }

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

// The cost of the bounds beside the fit they belong to, and of the bootstrap of the goodness of fit:
//   a two-parameter fit of 1,000,000 records (a third suspensions) alone, and with Fisher and
//   likelihood-ratio bounds of m, eta, B10 and R(t);
//   1,000 three-parameter refits of 50 values, on 1 and on 2 threads;
//   20 two-parameter refits of three lines with counts of 1,000,000 (samples of 3,000,000 units,
//   drawn sorted), on 1 and on 2 threads.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_data.h"
#include "benchmarks.h"
#include "bootstrap_goodness_of_fit.h"
#include "model_inference.h"
#include "weibull_fit.h"

namespace {

using namespace lifedata;

void fitWithBounds(benchmark::State& bench, bool bounds)
{
    static const PreparedData data = prepareLifeData(censoredLifeData());
    const InferenceRequest request{0.95, {10}, {100}, BoundsChoice::both, 0, 0, 0};
    for (auto _ : bench) {
        const WeibullFit fit = fitTwoParameter(data, 0, FitSettings{});
        if (bounds)
            benchmark::DoNotOptimize(inferModel(data, fit, false, request));
        benchmark::DoNotOptimize(fit);
    }
    reportTimePerValue(bench, censoredRecordCount);
}

void bootstrapRefits(benchmark::State& bench, unsigned threads)
{
    const unsigned samples = 1000;
    const BootstrapRequest request{{2.5, 100, 50}, true, 50, 0.5, samples, 11, threads};
    for (auto _ : bench)
        benchmark::DoNotOptimize(bootstrapAndersonDarling(request));
    reportTimePerValue(bench, samples);
}

// 10, 20 and 30 with a count of 1,000,000 each, at their two-parameter maximum and statistic.
void countHeavyBootstrap(benchmark::State& bench, unsigned threads)
{
    const unsigned samples = 20;
    const BootstrapRequest request{{2.7385731665, 22.5858625, 0}, false, 3000000, 253407.57, samples, 11, threads};
    for (auto _ : bench)
        benchmark::DoNotOptimize(bootstrapAndersonDarling(request));
    reportTimePerValue(bench, samples);
}

} // namespace

void registerBoundsBenchmarks()
{
    benchmark::RegisterBenchmark("lifeDataBounds/n:1000000/fit", fitWithBounds, false)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("lifeDataBounds/n:1000000/fitAndBounds", fitWithBounds, true)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    for (const unsigned threads : {1u, 2u}) {
        benchmark::RegisterBenchmark(("bootstrap3P/B:1000/n:50/threads:" + std::to_string(threads)).c_str(),
                                     bootstrapRefits, threads)
            ->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark(("bootstrap2P/B:20/units:3000000/threads:" + std::to_string(threads)).c_str(),
                                     countHeavyBootstrap, threads)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
    }
}

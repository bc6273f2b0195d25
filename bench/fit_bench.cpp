// One least-squares fit of the Weibull plot, within a run (ordinates once per run, one logarithm
// per value on the helper threads) and without (two logarithms for x and two for y in each of
// the two passes).
#include "bench_data.h"
#include "benchmarks.h"
#include "estimation_state.h"
#include "location_search.h"
#include "per_value_work.h"
#include "plotting_position.h"

namespace {

void fit(benchmark::State& bench, std::uint32_t n, bool fast)
{
    useSample(weibullSample(n));
    state.Fi = 3;
    selectRankFunction();
    const double g = 0.5 * state.samples[0];
    double r2 = 0;
    if (fast) {
        startPerValueWork();
        benchmark::DoNotOptimize(weibullPlotFit(g, &r2)); // the ordinates are made once per run
    }
    for (auto _ : bench) {
        benchmark::DoNotOptimize(weibullPlotFit(g, &r2));
        benchmark::DoNotOptimize(r2);
    }
    stopPerValueWork();
    forgetSample();
    reportTimePerValue(bench, n);
}

} // namespace

void registerFitBenchmarks()
{
    for (const std::uint32_t n : {100000u, 1000000u}) {
        const std::string name = "weibullPlotFit/n:" + std::to_string(n);
        benchmark::RegisterBenchmark((name + "/straightforward").c_str(), fit, n, false)
            ->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark((name + "/fast").c_str(), fit, n, true)->Unit(benchmark::kMillisecond)->UseRealTime();
    }
}

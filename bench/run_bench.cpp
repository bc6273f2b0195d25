// A whole estimation as the programs run it: read, sort, Auto Gamma with rank method 3, the shape
// from m = 1, scale and statistics. The straightforward run has the per-value work switched off.
#include <cstring>

#include "bench_data.h"
#include "benchmarks.h"
#include "estimation_run.h"
#include "estimation_state.h"
#include "per_value_work.h"
#include "plotting_position.h"

namespace {

void run(benchmark::State& bench, std::uint32_t n, bool fast)
{
    const std::string path = weibullDataFile(n);
    std::strcpy(state.RFile, path.c_str());
    state.autoGamma = 1;
    state.initialM = 1.0;
    state.Fi = 3;
    selectRankFunction();
    perValueSettings.enabled = fast;
    for (auto _ : bench) {
        state.stopRequested.store(0);
        runEstimation();
    }
    perValueSettings.enabled = true;
    releaseSamples();
    reportTimePerValue(bench, n);
}

} // namespace

void registerRunBenchmarks()
{
    const std::uint32_t n = 100000;
    const std::string name = "runEstimation/n:" + std::to_string(n);
    benchmark::RegisterBenchmark((name + "/straightforward").c_str(), run, n, false)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark((name + "/fast").c_str(), run, n, true)->Unit(benchmark::kMillisecond)->UseRealTime();
}

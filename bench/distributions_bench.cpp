// varnel_distributions_bench: the comparison of every distribution (`--distribution all`, bounds
// included) on 100,000 records, and each two-parameter family's fit on 1,000,000, on the benchmarks'
// censored records (every third unit suspended). bench/distributions_vs_scipy runs it beside scipy
// on the same values (with VARNEL_BENCH_DATA naming a folder, the records are written there).
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench_data.h"
#include "distribution_fit.h"
#include "life_analysis.h"

using namespace lifedata;

namespace {

LifeData firstRecords(std::size_t n)
{
    const LifeData& all = censoredLifeData();
    LifeData data;
    data.values.assign(all.values.begin(), all.values.begin() + n);
    data.upper.assign(all.upper.begin(), all.upper.begin() + n);
    data.states.assign(all.states.begin(), all.states.begin() + n);
    data.counts.assign(all.counts.begin(), all.counts.begin() + n);
    return data;
}

// VALUE F|S per line, in the shortest form that reads back to the same double.
void writeRecords(const LifeData& data)
{
    const char* folder = std::getenv("VARNEL_BENCH_DATA");
    if (!folder)
        return;
    std::ofstream file(std::string(folder) + "/distributions_" + std::to_string(data.values.size()) + ".dat");
    char text[32];
    for (std::size_t i = 0; i < data.values.size(); ++i)
        file << std::string(text, std::to_chars(text, text + sizeof text, data.values[i]).ptr)
             << (data.states[i] == State::suspension ? " S\n" : " F\n");
}

void comparisonOfAll(benchmark::State& bench)
{
    const LifeData data = firstRecords(100000);
    AnalysisRequest request;
    request.distributions = distributionNames();
    for (auto _ : bench)
        benchmark::DoNotOptimize(analyseLifeData(data, request));
}

void fitOne(benchmark::State& bench, const std::string& name)
{
    const LifeData& data = censoredLifeData();
    static const bool written = (writeRecords(data), true);
    (void)written;
    const PreparedData prepared = prepareLifeData(data);
    const auto distribution = makeDistribution(name);
    DistributionFit fit;
    for (auto _ : bench)
        fit = fitDistribution(*distribution, prepared, {});
    bench.counters["logL"] = fit.logLikelihood;
    // The estimate in the fit coordinates, so that the comparison can put it into scipy's likelihood.
    bench.counters["p0"] = fit.p[0];
    bench.counters["p1"] = fit.p[1];
}

} // namespace

BENCHMARK(comparisonOfAll)->Name("comparisonAll/records:100000")->Unit(benchmark::kMillisecond)->UseRealTime();

// Every two-parameter family but the Weibull, whose fit has its own benchmark.
const bool registered = [] {
    for (const std::string& name : distributionNames()) {
        const auto distribution = makeDistribution(name);
        if (distribution->parameterCount() != 2 || distribution->locationIndex() != noParameter ||
            name == "weibull2")
            continue;
        benchmark::RegisterBenchmark(("fit/" + name + "/records:1000000").c_str(),
                                     [name](benchmark::State& bench) { fitOne(bench, name); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return true;
}();

BENCHMARK_MAIN();

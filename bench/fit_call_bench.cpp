// The whole life-data analysis of 20 values, as the Python package's fit calls it (the analysis and
// its JSON text): what bench/fit_call_overhead.py subtracts from a Python call to find the cost of
// the call itself. With the default request (both models, both kinds of bounds) and with the fits
// alone. The values are the first 20 of the ball bearing example.
#include <benchmark/benchmark.h>

#include "analysis_json.h"
#include "benchmarks.h"
#include "life_analysis.h"
#include "life_data_file.h"

namespace {

using namespace lifedata;

const LifeData& twentyValues()
{
    static const LifeData data = [] {
        LifeData all = readLifeDataFile(VARNEL_EXAMPLES "/ball_bearings.dat");
        all.values.resize(20);
        all.upper.resize(20);
        all.states.resize(20);
        all.counts.resize(20);
        return all;
    }();
    return data;
}

void analyseTwentyValues(benchmark::State& bench, BoundsChoice bounds)
{
    AnalysisRequest request;
    request.bounds = bounds;
    for (auto _ : bench)
        benchmark::DoNotOptimize(analysisJson(analyseLifeData(twentyValues(), request), request));
}

} // namespace

void registerFitCallBenchmarks()
{
    benchmark::RegisterBenchmark("fitCall/n:20/bounds:both", analyseTwentyValues, BoundsChoice::both)
        ->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("fitCall/n:20/bounds:none", analyseTwentyValues, BoundsChoice::none)
        ->Unit(benchmark::kMicrosecond)->UseRealTime();
}

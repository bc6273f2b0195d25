// varnel_lifedata_bench: the life-data fits on a million records (on prepared data; preparing them
// is measured on its own), Kaplan-Meier of a million records (preparing included), and a file written with counts beside the same units written one per
// line. bench/lifedata_vs_scipy runs it beside scipy on the same values (it sets VARNEL_BENCH_DATA
// to a folder where the data sets are written for scipy).
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "kaplan_meier.h"
#include "life_analysis.h"
#include "life_data_file.h"

using namespace lifedata;

namespace {

// Weibull lifetimes of shape 1.8 and scale 1000 above a location of 100, every third one (when
// asked) a suspension at that time; from a fixed seed.
LifeData weibullRecords(std::size_t n, bool suspensions)
{
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> uniform(0, 1);
    LifeData data;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = 100 + 1000 * std::pow(-std::log1p(-uniform(random)), 1 / 1.8);
        data.values.push_back(t);
        data.upper.push_back(t);
        data.states.push_back(suspensions && i % 3 == 0 ? State::suspension : State::failure);
        data.counts.push_back(1);
    }
    return data;
}

std::string numberText(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// The records as a data file VALUE [S] [COUNT], each line written `repeat` times.
void writeRecords(const std::string& path, const LifeData& data, bool withCounts)
{
    std::ofstream file(path, std::ios::binary);
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        const std::string state = data.states[i] == State::suspension ? "S" : "F";
        if (withCounts)
            file << numberText(data.values[i]) << ' ' << state << ' ' << data.counts[i] << '\n';
        else
            for (std::uint32_t k = 0; k < data.counts[i]; ++k)
                file << numberText(data.values[i]) << ' ' << state << '\n';
    }
}

std::string dataFolder()
{
    const char* folder = std::getenv("VARNEL_BENCH_DATA");
    return folder ? folder : "";
}

void reportFit(benchmark::State& bench, const WeibullFit& fit)
{
    bench.counters["m"] = fit.m;
    bench.counters["eta"] = fit.eta;
    bench.counters["gamma"] = fit.gamma;
    bench.counters["logL"] = fit.logLikelihood;
}

void twoParameterCensored(benchmark::State& bench, std::size_t n)
{
    const LifeData data = weibullRecords(n, true);
    if (!dataFolder().empty())
        writeRecords(dataFolder() + "/censored_" + std::to_string(n) + ".dat", data, false);
    const PreparedData prepared = prepareLifeData(data);
    WeibullFit fit;
    for (auto _ : bench)
        fit = fitTwoParameter(prepared, 0, {});
    reportFit(bench, fit);
}

// Grouping, sorting and merging the records, which every fit of the data shares.
void prepare(benchmark::State& bench, std::size_t n)
{
    const LifeData data = weibullRecords(n, true);
    for (auto _ : bench)
        benchmark::DoNotOptimize(prepareLifeData(data));
}

// Kaplan-Meier with its bounds from the records as given: preparing them included, since the
// estimate needs them sorted.
void kaplanMeierRecords(benchmark::State& bench, std::size_t n)
{
    const LifeData data = weibullRecords(n, true);
    NonParametricEstimate estimate;
    for (auto _ : bench)
        estimate = kaplanMeier(prepareLifeData(data), 0.95);
    bench.counters["steps"] = static_cast<double>(estimate.steps.size());
    bench.counters["lastS"] = estimate.steps.back().survival;
}

// The estimate alone, on prepared data.
void kaplanMeierPrepared(benchmark::State& bench, std::size_t n)
{
    const PreparedData prepared = prepareLifeData(weibullRecords(n, true));
    for (auto _ : bench)
        benchmark::DoNotOptimize(kaplanMeier(prepared, 0.95));
}

void threeParameterComplete(benchmark::State& bench, std::size_t n)
{
    const LifeData data = weibullRecords(n, false);
    if (!dataFolder().empty())
        writeRecords(dataFolder() + "/complete_" + std::to_string(n) + ".dat", data, false);
    const PreparedData prepared = prepareLifeData(data);
    WeibullFit fit;
    for (auto _ : bench)
        fit = fitThreeParameter(prepared, {}).fit;
    reportFit(bench, fit);
}

// 130,000 units in 390 lines: 130 distinct times, each as failures and suspensions with counts.
LifeData countedRecords()
{
    LifeData data;
    for (int i = 0; i < 390; ++i) {
        const double t = 50 + 10 * (i / 3);
        data.values.push_back(t);
        data.upper.push_back(t);
        data.states.push_back(i % 3 == 2 ? State::suspension : State::failure);
        data.counts.push_back(i % 3 == 0 ? 300 : i % 3 == 1 ? 200 : 500 - (i / 3) % 2);
    }
    return data;
}

// The whole analysis from the file, as `varnel --mle` does it.
void countsFile(benchmark::State& bench, bool withCounts)
{
    const LifeData data = countedRecords();
    const std::string path = (dataFolder().empty() ? std::string("/tmp") : dataFolder()) +
                             (withCounts ? "/counted_lines.dat" : "/counted_units.dat");
    writeRecords(path, data, withCounts);
    // The fits alone: the bounds cost the same for both files and have their own benchmark.
    AnalysisRequest request;
    request.bounds = BoundsChoice::none;
    Analysis analysis;
    for (auto _ : bench)
        analysis = analyseLifeData(readLifeDataFile(path), request);
    bench.counters["units"] = static_cast<double>(analysis.data.units);
    bench.counters["lines"] = static_cast<double>(analysis.data.lines);
    reportFit(bench, analysis.threeParameter.fit);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::RegisterBenchmark("twoParameterCensored/records:1000000", twoParameterCensored, 1000000)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("prepareLifeData/records:1000000", prepare, 1000000)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("kaplanMeier/records:1000000", kaplanMeierRecords, 1000000)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("kaplanMeierPrepared/records:1000000", kaplanMeierPrepared, 1000000)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("threeParameterComplete/records:1000000", threeParameterComplete, 1000000)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("threeParameterComplete/records:100000", threeParameterComplete, 100000)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("countsFile/130000 units in 390 lines", countsFile, true)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("countsFile/130000 units one per line", countsFile, false)
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

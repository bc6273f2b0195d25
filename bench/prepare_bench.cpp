// The whole two-parameter analysis of 1,000,000 records (a third of them suspensions) from data in
// memory: preparing the records (grouping, sorting and merging equal ones) and the fit. The
// straightforward preparation sorts (time, count) pairs with std::sort, as prepareLifeData used to;
// the fast one is prepareLifeData's radix sort on the pool. Both must give the same prepared data.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "bench_data.h"
#include "benchmarks.h"
#include "weibull_fit.h"

namespace {

using namespace lifedata;

void sortAndMergeWithStdSort(std::vector<std::pair<double, double>>& records, std::vector<double>& times,
                             std::vector<double>& counts)
{
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [time, count] : records) {
        if (!times.empty() && times.back() == time) {
            counts.back() += count;
        } else {
            times.push_back(time);
            counts.push_back(count);
        }
    }
}

// The preparation as it was, for failures and suspensions (the data here have no intervals).
PreparedData prepareWithStdSort(const LifeData& data)
{
    std::vector<std::pair<double, double>> failures, suspensions;
    PreparedData prepared;
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        auto& kind = data.states[i] == State::suspension ? suspensions : failures;
        kind.emplace_back(data.values[i], data.counts[i]);
        prepared.largestTime = std::max(prepared.largestTime, data.upper[i]);
    }
    sortAndMergeWithStdSort(failures, prepared.failureTimes, prepared.failureCounts);
    sortAndMergeWithStdSort(suspensions, prepared.suspensionTimes, prepared.suspensionCounts);
    for (double c : prepared.failureCounts)
        prepared.failureUnits += c;
    prepared.distinctFailureTimes = prepared.failureTimes.size();
    return prepared;
}

bool samePreparedData(const PreparedData& a, const PreparedData& b)
{
    return a.failureTimes == b.failureTimes && a.failureCounts == b.failureCounts &&
           a.suspensionTimes == b.suspensionTimes && a.suspensionCounts == b.suspensionCounts &&
           a.failureUnits == b.failureUnits && a.distinctFailureTimes == b.distinctFailureTimes &&
           a.largestTime == b.largestTime;
}

PreparedData prepare(const LifeData& data, bool fast)
{
    return fast ? prepareLifeData(data) : prepareWithStdSort(data);
}

void prepareRecords(benchmark::State& bench, bool fast)
{
    const LifeData& data = censoredLifeData();
    if (!samePreparedData(prepareLifeData(data), prepareWithStdSort(data)))
        bench.SkipWithError("the radix sort and std::sort prepare different data");
    for (auto _ : bench)
        benchmark::DoNotOptimize(prepare(data, fast));
    reportTimePerValue(bench, censoredRecordCount);
}

void prepareAndFit(benchmark::State& bench, bool fast)
{
    const LifeData& data = censoredLifeData();
    WeibullFit fit;
    for (auto _ : bench)
        fit = fitTwoParameter(prepare(data, fast), 0, FitSettings{});
    benchmark::DoNotOptimize(fit);
    reportTimePerValue(bench, censoredRecordCount);
}

} // namespace

void registerPrepareBenchmarks()
{
    for (const bool fast : {false, true}) {
        const std::string variant = fast ? "fast" : "straightforward";
        benchmark::RegisterBenchmark(("lifeDataPrepare/n:1000000/" + variant).c_str(), prepareRecords, fast)
            ->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    for (const bool fast : {false, true}) {
        const std::string variant = fast ? "fast" : "straightforward";
        benchmark::RegisterBenchmark(("lifeData2P/n:1000000/" + variant).c_str(), prepareAndFit, fast)
            ->Unit(benchmark::kMillisecond)->UseRealTime();
    }
}

// A start needs only the plot's trend, so each failure record gives one point, at the middle rank of
// its units, and a large data set every k-th record.
#include "probability_plot_points.h"

#include <algorithm>

#include "adjusted_ranks.h"

namespace lifedata {

namespace {

constexpr std::size_t pointsKept = 4096;

// The data with every interval as failures at its middle, merged in time order.
PreparedData intervalsAsFailures(const PreparedData& data)
{
    std::vector<std::pair<double, double>> failures;
    failures.reserve(data.failureTimes.size() + data.intervalLower.size());
    for (std::size_t i = 0; i < data.failureTimes.size(); ++i)
        failures.emplace_back(data.failureTimes[i], data.failureCounts[i]);
    for (std::size_t i = 0; i < data.intervalLower.size(); ++i)
        failures.emplace_back((data.intervalLower[i] + data.intervalUpper[i]) / 2, data.intervalCounts[i]);
    std::sort(failures.begin(), failures.end());
    PreparedData merged;
    merged.suspensionTimes = data.suspensionTimes;
    merged.suspensionCounts = data.suspensionCounts;
    for (const auto& [time, count] : failures) {
        if (!merged.failureTimes.empty() && merged.failureTimes.back() == time) {
            merged.failureCounts.back() += count;
            continue;
        }
        merged.failureTimes.push_back(time);
        merged.failureCounts.push_back(count);
    }
    return merged;
}

} // namespace

std::vector<PlotPoint> probabilityPlotPoints(const PreparedData& data)
{
    const PreparedData failures = data.intervalLower.empty() ? PreparedData{} : intervalsAsFailures(data);
    const PreparedData& ranked = data.intervalLower.empty() ? data : failures;
    const std::vector<RankRun> runs = adjustedRankRuns(ranked);
    const double units = rankedUnits(ranked);
    const std::size_t step = runs.size() / pointsKept + 1;
    std::vector<PlotPoint> points;
    for (std::size_t i = 0; i < runs.size(); i += step) {
        const RankRun& run = runs[i];
        const double rank = run.rankBefore + (run.count + 1) / 2 * run.increment;
        points.push_back({run.time, medianRankUnreliability(rank, units)});
    }
    return points;
}

} // namespace lifedata

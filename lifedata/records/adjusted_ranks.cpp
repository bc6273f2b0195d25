// Johnson's adjusted ranks. Units are taken in time order, failures before suspensions at equal
// times; each failure's rank grows by (N + 1 - previous rank) / (1 + units not yet passed), so a
// suspension pushes the later failures' ranks apart instead of counting as a failure. Within a run
// of failures the increment stays the same, so a record of c failures adds c increments at once and
// a count costs nothing.
#include "adjusted_ranks.h"

#include <algorithm>

namespace lifedata {

namespace {

// The rank reached after the units passed so far, out of `units` in all.
class RankWalk {
public:
    explicit RankWalk(double units) : units_(units) {}

    RankRun failures(double time, double count)
    {
        const RankRun run{time, count, rank_, (units_ + 1 - rank_) / (1 + units_ - passed_)};
        rank_ += count * run.increment;
        passed_ += count;
        return run;
    }
    void suspensions(double count) { passed_ += count; }
    double rank() const { return rank_; }

private:
    double units_;
    double rank_ = 0;
    double passed_ = 0;
};

struct Record {
    double time;
    bool failure;
    double count;
};

std::vector<Record> recordsInTimeOrder(const LifeData& data)
{
    std::vector<Record> records;
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        const bool interval = data.states[i] == State::interval;
        const double time = interval ? (data.values[i] + data.upper[i]) / 2 : data.values[i];
        records.push_back({time, data.states[i] != State::suspension, double(data.counts[i])});
    }
    std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        return a.time < b.time || (a.time == b.time && a.failure && !b.failure);
    });
    return records;
}

double sum(const std::vector<double>& values)
{
    double total = 0;
    for (double v : values)
        total += v;
    return total;
}

} // namespace

std::vector<RankedFailure> adjustedRankFailures(const LifeData& data)
{
    const std::vector<Record> records = recordsInTimeOrder(data);
    double units = 0;
    for (const Record& r : records)
        units += r.count;
    RankWalk walk(units);
    std::vector<RankedFailure> failures;
    for (const Record& r : records) {
        if (r.failure) {
            walk.failures(r.time, r.count);
            failures.push_back({r.time, medianRankUnreliability(walk.rank(), units)});
        } else {
            walk.suspensions(r.count);
        }
    }
    return failures;
}

double rankedUnits(const PreparedData& data) { return sum(data.failureCounts) + sum(data.suspensionCounts); }

std::vector<RankRun> adjustedRankRuns(const PreparedData& data)
{
    RankWalk walk(rankedUnits(data));
    std::vector<RankRun> runs;
    runs.reserve(data.failureTimes.size());
    std::size_t s = 0;
    for (std::size_t f = 0; f < data.failureTimes.size(); ++f) {
        for (; s < data.suspensionTimes.size() && data.suspensionTimes[s] < data.failureTimes[f]; ++s)
            walk.suspensions(data.suspensionCounts[s]);
        runs.push_back(walk.failures(data.failureTimes[f], data.failureCounts[f]));
    }
    return runs;
}

} // namespace lifedata

// Johnson's adjusted ranks. Units are taken in time order, failures before suspensions at equal
// times; each failure's rank grows by (N + 1 - previous rank) / (1 + units not yet passed), so a
// suspension pushes the later failures' ranks apart instead of counting as a failure. Within a run
// of failures the increment stays the same, so a record of c failures adds c increments at once and
// a count costs nothing. Unreliability is Bernard's median rank (rank - 0.3) / (N + 0.4).
#include "adjusted_ranks.h"

#include <algorithm>

namespace lifedata {

namespace {

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

} // namespace

std::vector<RankedFailure> adjustedRankFailures(const LifeData& data)
{
    const std::vector<Record> records = recordsInTimeOrder(data);
    double units = 0;
    for (const Record& r : records)
        units += r.count;
    std::vector<RankedFailure> failures;
    double rank = 0, passed = 0;
    for (const Record& r : records) {
        if (r.failure) {
            const double increment = (units + 1 - rank) / (1 + units - passed);
            rank += r.count * increment;
            failures.push_back({r.time, (rank - 0.3) / (units + 0.4)});
        }
        passed += r.count;
    }
    return failures;
}

} // namespace lifedata

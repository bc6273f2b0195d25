// The radix sort against std::stable_sort, and the prepared records against an ordered map of the
// same records: the grouping, order and merged counts the fits depend on to the bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <utility>

#include "record_sort.h"
#include "weibull_likelihood.h"

using namespace lifedata;

namespace {

// Doubles of every magnitude and sign, with many repeats, zeros of both signs and subnormals.
std::vector<double> awkwardTimes(std::size_t n)
{
    std::mt19937_64 random(5);
    const double specials[] = {0.0, -0.0, 1e-310, 5e-324, std::numeric_limits<double>::max(), 1, 2, -3};
    std::vector<double> times(n);
    for (double& t : times) {
        const std::uint64_t r = random();
        if (r % 5 == 0)
            t = specials[r / 5 % 8];
        else if (r % 5 == 1)
            t = static_cast<double>(r / 5 % 50); // repeats
        else
            t = std::ldexp(static_cast<double>(r >> 11) / 9007199254740992.0, static_cast<int>(r % 200) - 100) *
                (r % 7 == 0 ? -1 : 1);
    }
    return times;
}

// Clusters of times a few units in the last place apart, beside one far time: keys that agree in
// their high bits, in runs short (`spread` 20) and long (`spread` 5000).
std::vector<double> clusteredTimes(std::size_t n, int spread)
{
    std::mt19937_64 random(6);
    std::vector<double> times = {1e300};
    for (std::size_t i = 1; i < n; ++i) {
        double t = static_cast<double>(1 + random() % 100);
        for (auto steps = random() % static_cast<unsigned>(spread); steps > 0; --steps)
            t = std::nextafter(t, 1e300);
        times.push_back(t);
    }
    return times;
}

TEST(RecordSort, SortsAsStableSortDoesWithEqualKeysInTheirOrder)
{
    std::vector<std::vector<double>> cases;
    for (const std::size_t n : {0u, 1u, 7u, 300u, 50000u})
        cases.push_back(awkwardTimes(n));
    cases.push_back(clusteredTimes(20000, 20));
    cases.push_back(clusteredTimes(20000, 5000));
    for (const std::vector<double>& times : cases) {
        const std::size_t n = times.size();
        std::vector<std::uint64_t> keys(n);
        std::transform(times.begin(), times.end(), keys.begin(), timeKey);
        std::vector<std::uint32_t> index(n);
        std::iota(index.begin(), index.end(), 0u);
        sortByKey(keys, index);

        std::vector<std::uint32_t> expected(n);
        std::iota(expected.begin(), expected.end(), 0u);
        std::stable_sort(expected.begin(), expected.end(), [&](std::uint32_t a, std::uint32_t b) {
            return times[a] < times[b];
        });
        ASSERT_EQ(index, expected) << n << " keys";
        for (std::size_t i = 0; i < n; ++i)
            ASSERT_EQ(keyTime(keys[i]), times[index[i]] + 0.0) << i; // the zeros as +0
    }
}

TEST(RecordSort, LeavesSortedInputAsItIs)
{
    std::vector<std::uint64_t> keys = {timeKey(-2), timeKey(0), timeKey(0), timeKey(3)};
    std::vector<std::uint32_t> payload = {9, 8, 7, 6};
    sortByKey(keys, payload);
    EXPECT_EQ(payload, (std::vector<std::uint32_t>{9, 8, 7, 6}));
}

// Records of every kind with repeats; the merged records must be those of an ordered map.
TEST(RecordSort, PreparedRecordsAreTheMergedRecordsInOrderWhateverTheThreads)
{
    std::mt19937_64 random(8);
    LifeData data;
    std::map<double, double> failures, suspensions;
    std::map<std::pair<double, double>, double> intervals;
    for (int i = 0; i < 60000; ++i) {
        const State state = static_cast<State>(random() % 3);
        const double a = static_cast<double>(random() % 3000) / 8;
        const double b = state == State::interval ? a + static_cast<double>(random() % 4) : a;
        const auto count = static_cast<std::uint32_t>(1 + random() % 1000);
        data.values.push_back(a);
        data.upper.push_back(b);
        data.states.push_back(state);
        data.counts.push_back(count);
        if (state == State::suspension)
            suspensions[a] += count;
        else if (a == b)
            failures[b] += count;
        else
            intervals[{a, b}] += count;
    }

    const PreparedData one = prepareLifeData(data, FitSettings{1});
    const PreparedData two = prepareLifeData(data, FitSettings{2});
    for (const PreparedData* prepared : {&one, &two}) {
        ASSERT_EQ(prepared->failureTimes.size(), failures.size());
        std::size_t k = 0;
        for (const auto& [time, count] : failures) {
            ASSERT_EQ(prepared->failureTimes[k], time);
            ASSERT_EQ(prepared->failureCounts[k++], count);
        }
        k = 0;
        ASSERT_EQ(prepared->suspensionTimes.size(), suspensions.size());
        for (const auto& [time, count] : suspensions) {
            ASSERT_EQ(prepared->suspensionTimes[k], time);
            ASSERT_EQ(prepared->suspensionCounts[k++], count);
        }
        k = 0;
        ASSERT_EQ(prepared->intervalLower.size(), intervals.size());
        for (const auto& [ends, count] : intervals) {
            ASSERT_EQ(prepared->intervalLower[k], ends.first);
            ASSERT_EQ(prepared->intervalUpper[k], ends.second);
            ASSERT_EQ(prepared->intervalCounts[k++], count);
        }
    }
}

} // namespace

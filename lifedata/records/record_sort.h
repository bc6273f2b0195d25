// Sorting the records of one kind by time and merging equal ones, for prepareLifeData: an LSD radix
// sort of 64-bit keys whose unsigned order is the order of the times, carrying each record's count
// (or its index) along. Equal records merge into one whose count is the sum; counts are whole
// numbers far below 2^53, so the merged data are the same bits whatever order equal records had.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lifedata {

// The key of a time and back. The two zeros get one key (+0), so that they are one time.
std::uint64_t timeKey(double time);
double keyTime(std::uint64_t key);

// Sorts `keys` ascending, keeping equal keys in their order, and moves payload[i] along with keys[i].
void sortByKey(std::span<std::uint64_t> keys, std::span<std::uint32_t> payload);

// Point records of one kind (failures or suspensions) as keys with counts. The two halves are
// sorted separately, so that two threads can share the work, and merged with equal records as one.
struct PointRecords {
    std::vector<std::uint64_t> keys;
    std::vector<std::uint32_t> counts;

    void reserve(std::size_t n)
    {
        keys.reserve(n);
        counts.reserve(n);
    }
    void add(double time, std::uint32_t count)
    {
        keys.push_back(timeKey(time));
        counts.push_back(count);
    }
    void sortHalf(int half); // 0 or 1
    // Ascending distinct times with their counts, once both halves are sorted.
    void merge(std::vector<double>& times, std::vector<double>& mergedCounts) const;
};

// Interval records (lower, upper, count), sorted by lower end, then upper end, and merged where
// both ends are equal; the vectors are replaced by the merged records.
void sortAndMergeIntervals(std::vector<double>& lower, std::vector<double>& upper, std::vector<double>& counts);

} // namespace lifedata

// Sorting the records of one kind by time and merging equal ones, for prepareLifeData: an LSD radix
// sort of 64-bit keys whose unsigned order is the order of the times, carrying each record's count
// (or its index) along. Equal records merge into one whose count is the sum; counts are whole
// numbers far below 2^53, so the merged data are the same bits whatever order equal records had.
#pragma once

#include <cstdint>
#include <vector>

namespace lifedata {

// The key of a time and back. The two zeros get one key (+0), so that they are one time.
std::uint64_t timeKey(double time);
double keyTime(std::uint64_t key);

// Sorts `keys` ascending, keeping equal keys in their order, and moves payload[i] along with keys[i].
void sortByKey(std::vector<std::uint64_t>& keys, std::vector<std::uint32_t>& payload);

// Point records (failures or suspensions) as keys with counts, sorted and merged into ascending
// distinct times with their counts. Consumes `keys` and `counts`.
void sortAndMergeTimes(std::vector<std::uint64_t>& keys, std::vector<std::uint32_t>& counts,
                       std::vector<double>& times, std::vector<double>& mergedCounts);

// Interval records (lower, upper, count), sorted by lower end, then upper end, and merged where
// both ends are equal; the vectors are replaced by the merged records.
void sortAndMergeIntervals(std::vector<double>& lower, std::vector<double>& upper, std::vector<double>& counts);

} // namespace lifedata

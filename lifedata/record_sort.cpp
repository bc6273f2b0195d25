// An LSD radix sort in bytes: one sweep over the keys counts the bytes of every pass, then each pass
// moves the records stably by one byte, skipping the bytes in which all keys agree (measured here,
// wider digits cost as much more per pass as they save in passes). Sorted input costs one check.
// Point records are merged from their two sorted halves, equal records into one on the way.
#include "record_sort.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <utility>

namespace lifedata {

namespace {

constexpr std::uint64_t signBit = std::uint64_t{1} << 63;
constexpr int digitBits = 8;
constexpr std::size_t buckets = std::size_t{1} << digitBits;
constexpr std::uint64_t digitMask = buckets - 1;

} // namespace

std::uint64_t timeKey(double time)
{
    // A positive double's bits order like the number: above the negatives once the sign bit is set;
    // a negative one's bits order backwards, so they are inverted.
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(time + 0.0);
    return (bits & signBit) ? ~bits : bits | signBit;
}

double keyTime(std::uint64_t key) { return std::bit_cast<double>((key & signBit) ? key & ~signBit : ~key); }

void sortByKey(std::span<std::uint64_t> keys, std::span<std::uint32_t> payload)
{
    const std::size_t n = keys.size();
    if (std::is_sorted(keys.begin(), keys.end()))
        return;
    std::uint64_t differing = 0;
    for (std::uint64_t key : keys)
        differing |= key ^ keys[0];
    std::vector<int> shifts; // of the bytes in which some keys differ
    for (int shift = 0; shift < 64; shift += digitBits) {
        if ((differing >> shift) & digitMask)
            shifts.push_back(shift);
    }

    std::vector<std::size_t> offsets(shifts.size() * buckets);
    for (std::uint64_t key : keys)
        for (std::size_t pass = 0; pass < shifts.size(); ++pass)
            ++offsets[pass * buckets + ((key >> shifts[pass]) & digitMask)];

    std::vector<std::uint64_t> movedKeys(n);
    std::vector<std::uint32_t> movedPayload(n);
    std::span<std::uint64_t> from = keys, to = movedKeys;
    std::span<std::uint32_t> fromPayload = payload, toPayload = movedPayload;
    for (std::size_t pass = 0; pass < shifts.size(); ++pass) {
        std::size_t* offset = offsets.data() + pass * buckets;
        std::exclusive_scan(offset, offset + buckets, offset, std::size_t{0});
        const int shift = shifts[pass];
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t at = offset[(from[i] >> shift) & digitMask]++;
            to[at] = from[i];
            toPayload[at] = fromPayload[i];
        }
        std::swap(from, to);
        std::swap(fromPayload, toPayload);
    }
    if (from.data() != keys.data()) {
        std::copy(from.begin(), from.end(), keys.begin());
        std::copy(fromPayload.begin(), fromPayload.end(), payload.begin());
    }
}

void PointRecords::sortHalf(int half)
{
    const std::size_t middle = keys.size() / 2;
    const std::size_t begin = half == 0 ? 0 : middle, end = half == 0 ? middle : keys.size();
    sortByKey(std::span(keys).subspan(begin, end - begin), std::span(counts).subspan(begin, end - begin));
}

void PointRecords::merge(std::vector<double>& times, std::vector<double>& mergedCounts) const
{
    times.clear();
    mergedCounts.clear();
    times.reserve(keys.size());
    mergedCounts.reserve(keys.size());
    std::uint64_t last = 0;
    const auto append = [&](std::size_t k) {
        if (!times.empty() && keys[k] == last) {
            mergedCounts.back() += counts[k];
        } else {
            last = keys[k];
            times.push_back(keyTime(last));
            mergedCounts.push_back(counts[k]);
        }
    };
    const std::size_t middle = keys.size() / 2;
    std::size_t i = 0, j = middle;
    while (i < middle && j < keys.size()) {
        // Without a branch: which half gives the next record is as good as random.
        const bool second = keys[j] < keys[i];
        append(second ? j : i);
        j += second;
        i += !second;
    }
    while (i < middle)
        append(i++);
    while (j < keys.size())
        append(j++);
}

void sortAndMergeIntervals(std::vector<double>& lower, std::vector<double>& upper, std::vector<double>& counts)
{
    // By upper end first, then stably by lower end: the order of (lower, upper).
    std::vector<std::uint32_t> order(lower.size());
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    std::vector<std::uint64_t> keys(upper.size());
    std::transform(upper.begin(), upper.end(), keys.begin(), timeKey);
    sortByKey(keys, order);
    for (std::size_t i = 0; i < order.size(); ++i)
        keys[i] = timeKey(lower[order[i]]);
    sortByKey(keys, order);

    std::vector<double> mergedLower, mergedUpper, mergedCounts;
    for (std::uint32_t k : order) {
        const double a = lower[k] + 0.0, b = upper[k] + 0.0;
        if (!mergedLower.empty() && mergedLower.back() == a && mergedUpper.back() == b) {
            mergedCounts.back() += counts[k];
        } else {
            mergedLower.push_back(a);
            mergedUpper.push_back(b);
            mergedCounts.push_back(counts[k]);
        }
    }
    lower = std::move(mergedLower);
    upper = std::move(mergedUpper);
    counts = std::move(mergedCounts);
}

} // namespace lifedata

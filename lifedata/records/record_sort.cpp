// An LSD radix sort in bytes of the keys' offsets from the smallest key: one sweep counts the bytes of
// every pass, then each pass moves the records stably by one byte (measured here, wider digits cost
// as much more per pass as they save in passes). Only the top 32 bits of the offsets are sorted so;
// the keys that agree in them form runs, short for any real spread of times (a 2^-20 relative
// spread in a binade), which are finished by insertion, or by a merge sort should one be long.
// Half the passes of a full radix sort, at the price of one sequential sweep. Sorted input costs
// one check.
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
// The radix passes sort by the top 32 bits of the keys' offsets from the smallest key.
constexpr int radixBits = 32;
// Up to this many keys, insertion beats the radix passes, whose bucket counts alone cost more.
constexpr std::size_t shortRun = 32;

// Stable, for a run of keys that agree above their low bits.
void sortRun(std::span<std::uint64_t> keys, std::span<std::uint32_t> payload)
{
    if (keys.size() <= shortRun) {
        for (std::size_t i = 1; i < keys.size(); ++i) {
            const std::uint64_t key = keys[i];
            const std::uint32_t carried = payload[i];
            std::size_t j = i;
            for (; j > 0 && keys[j - 1] > key; --j) {
                keys[j] = keys[j - 1];
                payload[j] = payload[j - 1];
            }
            keys[j] = key;
            payload[j] = carried;
        }
        return;
    }
    std::vector<std::pair<std::uint64_t, std::uint32_t>> records(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        records[i] = {keys[i], payload[i]};
    std::stable_sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i] = records[i].first;
        payload[i] = records[i].second;
    }
}

// Puts in order each run of keys whose offsets from `base` agree above bit `lowShift`.
void sortRuns(std::span<std::uint64_t> keys, std::span<std::uint32_t> payload, std::uint64_t base, int lowShift)
{
    for (std::size_t begin = 0; begin < keys.size();) {
        const std::uint64_t high = (keys[begin] - base) >> lowShift;
        std::size_t end = begin + 1;
        while (end < keys.size() && (keys[end] - base) >> lowShift == high)
            ++end;
        if (end - begin > 1)
            sortRun(keys.subspan(begin, end - begin), payload.subspan(begin, end - begin));
        begin = end;
    }
}

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
    // A few records (a fleet's groups): both sorts are stable, so the order is the same.
    if (n <= shortRun) {
        sortRun(keys, payload);
        return;
    }
    const auto [smallest, largest] = std::minmax_element(keys.begin(), keys.end());
    const std::uint64_t base = *smallest;
    const int bits = std::bit_width(*largest - base);
    const int lowShift = std::max(0, bits - radixBits);
    const int passes = (bits - lowShift + digitBits - 1) / digitBits;
    const auto digit = [&](std::uint64_t key, int pass) {
        return ((key - base) >> (lowShift + pass * digitBits)) & digitMask;
    };

    std::vector<std::size_t> offsets(passes * buckets);
    for (std::uint64_t key : keys)
        for (int pass = 0; pass < passes; ++pass)
            ++offsets[pass * buckets + digit(key, pass)];

    std::vector<std::uint64_t> movedKeys(n);
    std::vector<std::uint32_t> movedPayload(n);
    std::span<std::uint64_t> from = keys, to = movedKeys;
    std::span<std::uint32_t> fromPayload = payload, toPayload = movedPayload;
    for (int pass = 0; pass < passes; ++pass) {
        std::size_t* offset = offsets.data() + pass * buckets;
        if (std::find(offset, offset + buckets, n) != offset + buckets)
            continue; // every key has the same digit here
        std::exclusive_scan(offset, offset + buckets, offset, std::size_t{0});
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t at = offset[digit(from[i], pass)]++;
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
    if (lowShift > 0)
        sortRuns(keys, payload, base, lowShift);
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

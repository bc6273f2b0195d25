// A stable sort on (no estimate, AICc, BIC, name): NaN never enters a comparison, so the order is
// strict and the same on every platform.
#include "distribution_ranking.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace lifedata {

namespace {

// Ascending with NaN after every number.
int compareNumbers(double a, double b)
{
    const bool aMissing = std::isnan(a);
    const bool bMissing = std::isnan(b);
    if (aMissing || bMissing)
        return aMissing == bMissing ? 0 : (aMissing ? 1 : -1);
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool before(const RankingEntry& a, const RankingEntry& b)
{
    if (a.estimated != b.estimated)
        return a.estimated;
    if (a.estimated) {
        if (const int c = compareNumbers(a.aicc, b.aicc))
            return c < 0;
        if (const int c = compareNumbers(a.bic, b.bic))
            return c < 0;
    }
    return a.name < b.name;
}

} // namespace

std::vector<std::size_t> rankOrder(const std::vector<RankingEntry>& entries)
{
    std::vector<std::size_t> order(entries.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return before(entries[a], entries[b]); });
    return order;
}

} // namespace lifedata

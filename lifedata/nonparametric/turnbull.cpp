// The Turnbull estimate. Its support is the Turnbull intervals: where a left end of some record is
// followed by a right end with no other end between them. Each record covers a run of consecutive
// Turnbull intervals, so one iteration of the self-consistency algorithm is a prefix sum of the
// masses and a difference array of the records' weights: O(records + intervals), whatever the
// widths of the intervals.
#include "turnbull.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace lifedata {

namespace {

constexpr double tolerance = 1e-10;
// A mass the algorithm drives towards 0 shrinks by a factor each iteration and never reaches it;
// below this, well under the accuracy of any mass once converged, it is not part of the support.
constexpr double negligibleMass = 1e-9;

// Where an end lies in the order of ends at one time. An exact failure [t, t] starts just before
// t, so its left end comes first; right ends (t included) come next; an interval (t, b] or a
// suspension (t, infinity) starts just after t, so its left end comes last.
enum EndKind : int { closedLeft = 0, right = 1, openLeft = 2 };

struct End {
    double time;
    int kind;
    bool operator<(const End& other) const
    {
        return time < other.time || (time == other.time && kind < other.kind);
    }
};

struct Record {
    End left;
    double right;
    double weight;
};

// Every record with its left end's kind, in the fixed order of the prepared data.
std::vector<Record> recordsOf(const PreparedData& data)
{
    std::vector<Record> records;
    records.reserve(data.failureTimes.size() + data.suspensionTimes.size() + data.intervalLower.size());
    for (std::size_t i = 0; i < data.failureTimes.size(); ++i)
        records.push_back({{data.failureTimes[i], closedLeft}, data.failureTimes[i], data.failureCounts[i]});
    for (std::size_t i = 0; i < data.suspensionTimes.size(); ++i)
        records.push_back({{data.suspensionTimes[i], openLeft}, HUGE_VAL, data.suspensionCounts[i]});
    for (std::size_t i = 0; i < data.intervalLower.size(); ++i)
        records.push_back({{data.intervalLower[i], openLeft}, data.intervalUpper[i], data.intervalCounts[i]});
    return records;
}

struct Support {
    std::vector<End> left; // strictly increasing
    std::vector<double> right;
};

Support turnbullIntervals(const std::vector<Record>& records)
{
    std::vector<End> ends;
    ends.reserve(2 * records.size());
    for (const Record& r : records) {
        ends.push_back(r.left);
        ends.push_back({r.right, right});
    }
    std::sort(ends.begin(), ends.end());
    Support support;
    for (std::size_t k = 0; k + 1 < ends.size(); ++k) {
        if (ends[k].kind != right && ends[k + 1].kind == right) {
            support.left.push_back(ends[k]);
            support.right.push_back(ends[k + 1].time);
        }
    }
    return support;
}

// A record's run of Turnbull intervals, first to last inclusive.
struct Run {
    std::size_t first;
    std::size_t last;
    double weight;
};

std::string iterationText(std::size_t n) { return std::to_string(n) + (n == 1 ? " iteration" : " iterations"); }

} // namespace

NonParametricEstimate turnbull(const PreparedData& data, std::size_t iterationCap)
{
    NonParametricEstimate estimate;
    estimate.method = NonParametricMethod::turnbull;
    const std::vector<Record> records = recordsOf(data);
    const Support support = turnbullIntervals(records);
    const std::size_t m = support.right.size();
    if (m == 0)
        return estimate;

    // A record on one interval adds its weight to that interval's mass at every iteration, whatever
    // the masses are: it is kept apart as a fixed share, and only wider records are iterated over.
    std::vector<double> fixed(m, 0.0);
    std::vector<Run> runs;
    double units = 0;
    for (const Record& r : records) {
        const std::size_t first = std::lower_bound(support.left.begin(), support.left.end(), r.left) - support.left.begin();
        const std::size_t last = std::upper_bound(support.right.begin(), support.right.end(), r.right) - support.right.begin() - 1;
        units += r.weight;
        if (first == last)
            fixed[first] += r.weight;
        else
            runs.push_back({first, last, r.weight});
    }

    std::vector<double> mass(m, 1.0 / static_cast<double>(m));
    std::vector<double> prefix(m + 1, 0.0);
    std::vector<double> share(m + 1, 0.0);
    estimate.converged = false;
    while (estimate.iterations < iterationCap) {
        ++estimate.iterations;
        for (std::size_t j = 0; j < m; ++j)
            prefix[j + 1] = prefix[j] + mass[j];
        std::fill(share.begin(), share.end(), 0.0);
        for (const Run& r : runs) {
            const double c = r.weight / (prefix[r.last + 1] - prefix[r.first]);
            share[r.first] += c;
            share[r.last + 1] -= c;
        }
        double running = 0;
        double change = 0;
        for (std::size_t j = 0; j < m; ++j) {
            running += share[j];
            const double next = (fixed[j] + mass[j] * running) / units;
            change = std::max(change, std::fabs(next - mass[j]));
            mass[j] = next;
        }
        if (change < tolerance) {
            estimate.converged = true;
            break;
        }
    }
    if (!estimate.converged)
        estimate.statusText = "not converged: the largest change of a probability was still above 1e-10 after " +
                              iterationText(estimate.iterations);

    // S after each interval is the mass of the intervals after it, summed from the far end so that
    // the last step is exactly 0.
    std::vector<double> after(m, 0.0);
    for (std::size_t j = m - 1; j > 0; --j)
        after[j - 1] = after[j] + mass[j];
    for (std::size_t j = 0; j < m; ++j) {
        if (mass[j] > negligibleMass)
            estimate.steps.push_back({support.left[j].time, support.right[j], after[j]});
    }
    return estimate;
}

} // namespace lifedata

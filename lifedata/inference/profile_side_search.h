// One side of a likelihood-ratio interval: where a profile log-likelihood, starting from its maximum,
// first falls a given amount. The profile is any callable `ProfileValue profile(double s)` in a
// coordinate s that runs without limit on both sides (log of a positive quantity, and so on).
#pragma once

#include <cmath>

namespace lifedata {

struct ProfileValue {
    double value; // the constrained maximum of the log-likelihood at s; NaN where it does not exist
    double slope; // its derivative in s
};

enum class SideEnd {
    closed, // the profile falls far enough at `s`
    open,   // it never does as far as the search may go
    lost,   // no verified end: the constrained maximum ceases to exist before the profile falls far
            // enough, or the profile jumps past the fall instead of reaching it
};

struct SideResult {
    SideEnd end;
    double s;
};

struct SideSearch {
    double estimate;   // s at the maximum
    double maximum;    // the log-likelihood there
    double drop;       // the fall that closes the side: half the chi-square critical value
    double direction;  // +1 for the upper side, -1 for the lower
    double firstStep;  // a first guess of the distance, e.g. z times the standard error of s
    double maxSpan;    // a side farther than this from the estimate is open
    double tolerance;  // of s at the end
};

// A side is reported only where the profile was evaluated and falls by the drop to this fraction.
constexpr double verifiedDropFraction = 1e-6;

// Newton's method on f(s) = profile(s) - maximum + drop with the profile's own slope. From inside
// (f > 0) Newton on a concave profile steps past the root, so the root is soon bracketed; then a
// Newton step is kept only while it stays inside the bracket, and bisection is used otherwise.
// The end is checked where the bracket closes: a bracket that closes on a gap of the profile (no
// maximum, or a jump across the drop) is no end.
template <class Profile>
SideResult findProfileSide(Profile&& profile, const SideSearch& search)
{
    constexpr int evaluationLimit = 200;
    const double dir = search.direction;
    double inside = search.estimate;
    double s = search.estimate + dir * search.firstStep;
    double f = NAN;
    double slope = NAN;
    int evaluations = 0;

    // Outward until the profile has fallen far enough.
    for (;;) {
        if (++evaluations > evaluationLimit)
            return {SideEnd::lost, inside};
        const ProfileValue p = profile(s);
        if (std::isnan(p.value)) {
            // Back off toward the last point that had a maximum.
            const double half = (s - inside) / 2;
            if (std::fabs(half) <= search.tolerance)
                return {SideEnd::lost, inside};
            s = inside + half;
            continue;
        }
        f = p.value - search.maximum + search.drop;
        slope = p.slope;
        if (f <= 0)
            break;
        const double outwardSlope = dir * slope;
        const double distance = std::fabs(s - search.estimate);
        if (distance >= search.maxSpan)
            return {SideEnd::open, s};
        inside = s;
        // Where the profile rises again it may still fall farther out: step on, doubling the distance.
        const double newton = outwardSlope < 0 ? f / -outwardSlope : 3 * distance;
        s = search.estimate + dir * std::fmin(distance + std::fmin(newton, 3 * distance), search.maxSpan);
    }

    // Within the bracket between `inside` (f > 0) and `outside` (f <= 0 or no maximum).
    double outside = s;
    while (std::fabs(outside - inside) > search.tolerance && ++evaluations <= evaluationLimit) {
        double next = s - f / slope;
        if (!(std::fabs(next - inside) < std::fabs(outside - inside) &&
              std::fabs(next - outside) < std::fabs(outside - inside)))
            next = (inside + outside) / 2;
        const double step = std::fabs(next - s);
        const ProfileValue p = profile(next);
        s = next;
        f = p.value - search.maximum + search.drop;
        slope = p.slope;
        if (std::isnan(f)) {
            // No maximum inside the bracket: close in from the inside by bisection alone.
            outside = s;
            s = inside;
            f = search.drop;
            slope = NAN;
            continue;
        }
        (f > 0 ? inside : outside) = s;
        if (step <= search.tolerance)
            break;
    }
    if (std::fabs(f) <= verifiedDropFraction * search.drop)
        return {SideEnd::closed, s};
    return {SideEnd::lost, s};
}

} // namespace lifedata

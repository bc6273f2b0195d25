// Newton's method on the profile equation in m for failures and suspensions.
#include "shape_profile.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chunk_sums.h"

namespace lifedata {

namespace {

// ln(x / xRef) for x = t - gamma, xRef = tRef - gamma. Close to xRef, log1p of the exact difference
// keeps the digits that the ratio would lose when gamma is far below the data; far below xRef the
// ratio itself keeps them (log1p of a difference near -1 would not). Data spanning more than the
// exponent range (1e-300 with 1e300) has ratios that underflow; there ln x - ln xRef is formed
// instead, whose rounding is tiny beside a logarithm of several hundred.
double logRatio(double t, double tRef, double xRef, double lnRef)
{
    const double difference = (t - tRef) / xRef;
    if (difference > -0.5)
        return std::log1p(difference);
    const double x = t - (tRef - xRef);
    const double ratio = x / xRef;
    return ratio >= std::numeric_limits<double>::min() ? std::log(ratio) : std::log(x) - lnRef;
}

struct LogSums {
    double weighted = 0, squares = 0;

    void add(const LogSums& other)
    {
        weighted += other.weighted;
        squares += other.squares;
    }
};

// l[i] = ln((t[i] - gamma) / xRef) for i in [first, n), with the sums of c l and c l^2.
LogSums takeLogs(ChunkedWork& work, const std::vector<double>& times, const std::vector<double>& counts,
                 std::size_t first, double tRef, double xRef, double lnRef, std::vector<double>& logs)
{
    logs.resize(times.size());
    return sumInChunks<LogSums>(work, first, times.size() - first, [&](LogSums& sums, std::size_t i) {
        const double l = logRatio(times[i], tRef, xRef, lnRef);
        logs[i] = l;
        sums.weighted += counts[i] * l;
        sums.squares += counts[i] * l * l;
    });
}

} // namespace

void ShapeProfile::setLocation(double gamma)
{
    const double tRef = data_.largestTime;
    const double xRef = tRef - gamma;
    lnRef_ = std::log(xRef);
    const std::vector<double>& suspensions = data_.suspensionTimes;
    firstSuspension_ = static_cast<std::size_t>(std::upper_bound(suspensions.begin(), suspensions.end(), gamma) -
                                                suspensions.begin());
    const LogSums failures = takeLogs(work_, data_.failureTimes, data_.failureCounts, 0, tRef, xRef, lnRef_, failureLogs_);
    takeLogs(work_, suspensions, data_.suspensionCounts, firstSuspension_, tRef, xRef, lnRef_, suspensionLogs_);

    const double r = data_.failureUnits;
    failureLogMean_ = failures.weighted / r;
    // The shape of a Weibull sample is about pi / sqrt(6) over the spread of its logarithms.
    const double variance = failures.squares / r - failureLogMean_ * failureLogMean_;
    startingShape_ = variance > 0 ? 1.2825498301618641 / std::sqrt(variance) : 1;
}

ShapeProfile::PowerSums ShapeProfile::sums(double m)
{
    auto add = [&](const std::vector<double>& logs, const std::vector<double>& counts) {
        return [&logs, &counts, m](PowerSums& s, std::size_t i) {
            const double l = logs[i];
            const double cw = counts[i] * std::exp(m * l);
            s.S0 += cw;
            s.S1 += cw * l;
            s.S2 += cw * l * l;
        };
    };
    const PowerSums failures =
        sumInChunks<PowerSums>(work_, 0, failureLogs_.size(), add(failureLogs_, data_.failureCounts));
    return sumInChunks<PowerSums>(work_, firstSuspension_, suspensionLogs_.size() - firstSuspension_,
                                  add(suspensionLogs_, data_.suspensionCounts), failures);
}

ShapeSolution ShapeProfile::solve(double mStart, double tolerance)
{
    constexpr int maximumIterations = 200;
    constexpr double largestStep = 3; // in ln m: a factor of 20 at most
    const double r = data_.failureUnits;
    double a = std::log(mStart);
    double low = -HUGE_VAL, high = HUGE_VAL; // the root of the increasing equation lies between
    ShapeSolution solution;
    for (int iteration = 1; iteration <= maximumIterations; ++iteration) {
        const double m = std::exp(a);
        const PowerSums s = sums(m);
        const double mean = s.S1 / s.S0;
        const double equation = mean - 1 / m - failureLogMean_;
        const double slope = m * (s.S2 / s.S0 - mean * mean) + 1 / m;
        if (equation < 0)
            low = a;
        else
            high = a;
        double step = -equation / slope;
        if (std::fabs(step) <= tolerance || equation == 0 || high - low <= tolerance) {
            solution.converged = std::isfinite(s.S0) && s.S0 > 0;
            solution.m = m;
            solution.eta = std::exp(lnRef_ + std::log(s.S0 / r) / m);
            // At eta's maximum the sum of (x/eta)^m over every unit is r, which leaves this.
            solution.logLikelihood = r * (std::log(m) - std::log(s.S0 / r) - 1 - lnRef_) + (m - 1) * failureLogMean_ * r;
            solution.iterations = iteration;
            return solution;
        }
        step = std::clamp(step, -largestStep, largestStep);
        double next = a + step;
        if (!(next > low && next < high) || !std::isfinite(slope))
            next = std::isfinite(low) && std::isfinite(high) ? (low + high) / 2 : a + (equation < 0 ? largestStep : -largestStep);
        a = next;
    }
    solution.iterations = maximumIterations;
    return solution;
}

} // namespace lifedata

// The Weibull log-likelihood of grouped life data and its derivatives in (ln m, ln eta, gamma).
// Each record's terms are formed on any thread; every chunk of records gives its partial sums, and
// the partial sums are added in chunk order, kind after kind, so that the result does not depend on
// the number of threads.
#include "weibull_likelihood.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

#include "chunk_sums.h"
#include "record_sort.h"

namespace lifedata {

namespace {

// The failure times are sorted and distinct already; interval upper ends add those not among them.
std::size_t countDistinctFailureTimes(const PreparedData& prepared)
{
    std::vector<double> uppers = prepared.intervalUpper;
    std::sort(uppers.begin(), uppers.end());
    uppers.erase(std::unique(uppers.begin(), uppers.end()), uppers.end());
    const std::vector<double>& failures = prepared.failureTimes;
    return failures.size() + static_cast<std::size_t>(std::count_if(uppers.begin(), uppers.end(), [&](double b) {
               return !std::binary_search(failures.begin(), failures.end(), b);
           }));
}

// Partial sums of one chunk: the value, the gradient and the upper half of the Hessian.
struct Sums {
    double value = 0;
    double g[3] = {0, 0, 0};
    double h[6] = {0, 0, 0, 0, 0, 0}; // 00 01 02 11 12 22

    void add(const Sums& other)
    {
        value += other.value;
        for (int k = 0; k < 3; ++k)
            g[k] += other.g[k];
        for (int k = 0; k < 6; ++k)
            h[k] += other.h[k];
    }
};

// The derivatives of s = m (ln x - ln eta) = ln (x/eta)^m in (ln m, ln eta, gamma).
struct PowerTerm {
    double x, lnX, s, w; // x, ln x, s and w = exp(s)
    double ds[3];
    double d2s[6];

    PowerTerm(double x_, double m, double lnEta) : x(x_), lnX(std::log(x_))
    {
        s = m * (lnX - lnEta);
        w = std::exp(s);
        ds[0] = s;
        ds[1] = -m;
        ds[2] = -m / x;
        d2s[0] = s;
        d2s[1] = -m;
        d2s[2] = -m / x;
        d2s[3] = 0;
        d2s[4] = 0;
        d2s[5] = -m / (x * x);
    }
};

constexpr int pairI[6] = {0, 0, 0, 1, 1, 2};
constexpr int pairJ[6] = {0, 1, 2, 1, 2, 2};

struct Parameters {
    double m, lnM, lnEta, gamma;
    int order;
};

void addFailure(Sums& sums, double t, double c, const Parameters& p)
{
    const double x = t - p.gamma;
    if (!(x > 0)) {
        sums.value += -std::numeric_limits<double>::infinity();
        return;
    }
    const PowerTerm term(x, p.m, p.lnEta);
    sums.value += c * (p.lnM - term.lnX + term.s - term.w);
    if (p.order < 1)
        return;
    const double oneMinusW = 1 - term.w;
    sums.g[0] += c * (1 + oneMinusW * term.ds[0]);
    sums.g[1] += c * (oneMinusW * term.ds[1]);
    sums.g[2] += c * (1 / x + oneMinusW * term.ds[2]);
    if (p.order < 2)
        return;
    for (int k = 0; k < 6; ++k)
        sums.h[k] += c * (oneMinusW * term.d2s[k] - term.w * term.ds[pairI[k]] * term.ds[pairJ[k]]);
    sums.h[5] += c / (x * x);
}

void addSuspension(Sums& sums, double t, double c, const Parameters& p)
{
    const double x = t - p.gamma;
    if (!(x > 0))
        return; // certain survival: no information
    const PowerTerm term(x, p.m, p.lnEta);
    sums.value -= c * term.w;
    if (p.order < 1)
        return;
    for (int k = 0; k < 3; ++k)
        sums.g[k] -= c * term.w * term.ds[k];
    if (p.order < 2)
        return;
    for (int k = 0; k < 6; ++k)
        sums.h[k] -= c * term.w * (term.ds[pairI[k]] * term.ds[pairJ[k]] + term.d2s[k]);
}

// ln(R(a) - R(b)) = -w_a + ln(1 - exp(w_a - w_b)), formed without cancellation.
void addInterval(Sums& sums, double a, double b, double c, const Parameters& p)
{
    const double xb = b - p.gamma;
    if (!(xb > 0)) {
        sums.value += -std::numeric_limits<double>::infinity();
        return;
    }
    const double xa = a - p.gamma;
    const PowerTerm upper(xb, p.m, p.lnEta);
    double wa = 0, dwa[3] = {0, 0, 0}, d2wa[6] = {0, 0, 0, 0, 0, 0};
    if (xa > 0) {
        const PowerTerm lower(xa, p.m, p.lnEta);
        wa = lower.w;
        for (int k = 0; k < 3; ++k)
            dwa[k] = wa * lower.ds[k];
        for (int k = 0; k < 6; ++k)
            d2wa[k] = wa * (lower.ds[pairI[k]] * lower.ds[pairJ[k]] + lower.d2s[k]);
    }
    const double q = -std::expm1(wa - upper.w);
    sums.value += c * (std::log(q) - wa);
    if (p.order < 1)
        return;
    const double r = std::exp(wa - upper.w);
    double dwb[3], grad[3];
    for (int k = 0; k < 3; ++k) {
        dwb[k] = upper.w * upper.ds[k];
        grad[k] = (r * dwb[k] - dwa[k]) / q;
        sums.g[k] += c * grad[k];
    }
    if (p.order < 2)
        return;
    for (int k = 0; k < 6; ++k) {
        const int i = pairI[k], j = pairJ[k];
        const double d2wb = upper.w * (upper.ds[i] * upper.ds[j] + upper.d2s[k]);
        const double curvature = ((dwa[i] * dwa[j] - d2wa[k]) - r * (dwb[i] * dwb[j] - d2wb)) / q;
        sums.h[k] += c * (curvature - grad[i] * grad[j]);
    }
}

// Below this many records the helpers would cost more than they save.
constexpr std::size_t threadThreshold = 16384;

} // namespace

PreparedData prepareLifeData(const LifeData& data, const FitSettings& settings)
{
    PreparedData prepared;
    PointRecords failures, suspensions;
    const auto suspended = static_cast<std::size_t>(std::count(data.states.begin(), data.states.end(), State::suspension));
    failures.reserve(data.values.size() - suspended);
    suspensions.reserve(suspended);
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        const bool pointFailure = data.states[i] == State::failure ||
                                  (data.states[i] == State::interval && data.values[i] == data.upper[i]);
        if (pointFailure) {
            failures.add(data.upper[i], data.counts[i]);
        } else if (data.states[i] == State::suspension) {
            suspensions.add(data.values[i], data.counts[i]);
        } else {
            prepared.intervalLower.push_back(data.values[i]);
            prepared.intervalUpper.push_back(data.upper[i]);
            prepared.intervalCounts.push_back(data.counts[i]);
        }
        prepared.largestTime = std::max(prepared.largestTime, data.upper[i]);
    }

    // Five sorts, one chunk of work each, on whichever thread claims it; then the two merges.
    const std::unique_ptr<ChunkedWork> work = makeWork(data.values.size(), settings);
    work->run(5 * ChunkedWork::chunkSize, [&](std::uint32_t task, std::uint32_t, std::uint32_t) {
        if (task < 2)
            failures.sortHalf(static_cast<int>(task));
        else if (task < 4)
            suspensions.sortHalf(static_cast<int>(task - 2));
        else
            sortAndMergeIntervals(prepared.intervalLower, prepared.intervalUpper, prepared.intervalCounts);
    });
    work->run(2 * ChunkedWork::chunkSize, [&](std::uint32_t task, std::uint32_t, std::uint32_t) {
        if (task == 0)
            failures.merge(prepared.failureTimes, prepared.failureCounts);
        else
            suspensions.merge(prepared.suspensionTimes, prepared.suspensionCounts);
    });

    for (double c : prepared.failureCounts)
        prepared.failureUnits += c;
    for (double c : prepared.intervalCounts)
        prepared.failureUnits += c;
    prepared.distinctFailureTimes = countDistinctFailureTimes(prepared);
    return prepared;
}

double unitCount(const PreparedData& data)
{
    double units = 0;
    for (const std::vector<double>* counts : {&data.failureCounts, &data.suspensionCounts, &data.intervalCounts}) {
        for (double c : *counts)
            units += c;
    }
    return units;
}

double smallestFailure(const PreparedData& data)
{
    double x1 = std::numeric_limits<double>::infinity();
    if (!data.failureTimes.empty())
        x1 = data.failureTimes.front();
    for (double b : data.intervalUpper)
        x1 = std::min(x1, b);
    return x1;
}

std::unique_ptr<ChunkedWork> makeWork(const PreparedData& data, const FitSettings& settings)
{
    return makeWork(data.failureTimes.size() + data.suspensionTimes.size() + data.intervalLower.size(), settings);
}

std::unique_ptr<ChunkedWork> makeWork(std::size_t records, const FitSettings& settings)
{
    const unsigned threads = settings.threads != 0 ? settings.threads : std::thread::hardware_concurrency();
    const bool shared = records >= threadThreshold && threads > 1;
    return std::make_unique<ChunkedWork>(shared ? threads - 1 : 0);
}

LikelihoodDerivatives LikelihoodEvaluator::evaluate(double m, double eta, double gamma, int order)
{
    stopIfCancelled(cancel_);
    const Parameters p{m, std::log(m), std::log(eta), gamma, order};
    const PreparedData& d = data_;
    Sums total = sumInChunks<Sums>(work_, 0, d.failureTimes.size(), [&](Sums& sums, std::size_t i) {
        addFailure(sums, d.failureTimes[i], d.failureCounts[i], p);
    });
    total.add(sumInChunks<Sums>(work_, 0, d.suspensionTimes.size(), [&](Sums& sums, std::size_t i) {
        addSuspension(sums, d.suspensionTimes[i], d.suspensionCounts[i], p);
    }));
    total.add(sumInChunks<Sums>(work_, 0, d.intervalLower.size(), [&](Sums& sums, std::size_t i) {
        addInterval(sums, d.intervalLower[i], d.intervalUpper[i], d.intervalCounts[i], p);
    }));

    LikelihoodDerivatives result{};
    result.value = total.value;
    if (order >= 1)
        for (int k = 0; k < 3; ++k)
            result.gradient[k] = total.g[k];
    if (order >= 2)
        for (int k = 0; k < 6; ++k)
            result.hessian[pairI[k]][pairJ[k]] = result.hessian[pairJ[k]][pairI[k]] = total.h[k];
    return result;
}

LikelihoodDerivatives evaluateLikelihood(const PreparedData& data, double m, double eta, double gamma, int order,
                                         const FitSettings& settings)
{
    std::unique_ptr<ChunkedWork> work = makeWork(data, settings);
    return LikelihoodEvaluator(data, *work).evaluate(m, eta, gamma, order);
}

} // namespace lifedata

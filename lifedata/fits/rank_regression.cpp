// Rank regression over the failed units. A record of c failures is c points at one x whose y
// differ by their ranks, so each record's mean y and the squares of its y about that mean are
// summed once over its units (by Welford's recurrence, in unit order); every trial location then
// costs one pass over the records: x is the same for a record's units, and the sums about the
// means follow from the records' means by the parallel-axis rule. Sums run in chunk order, the
// same for every number of threads.
//
// The three-parameter search scans r^2 on a grid of x1 - gamma, as the likelihood's profile is
// scanned, and bisects around the highest point on the sign of d r^2 / d gamma, which rounding
// cannot blur near the maximum as it blurs the values of r^2. r^2 tends to a limit at x1 and
// usually approaches it from above, with a maximum in between; but when x1 is far from 0 the
// largest double below it is not close in x = ln(x1 - gamma), and r^2 can still be rising there.
#include "rank_regression.h"

#include <algorithm>
#include <cmath>

#include "adjusted_ranks.h"
#include "chunk_sums.h"

namespace lifedata {

const char* const regressionNoInteriorMaximumText = "no interior maximum: the correlation rises to the smallest failure";
const char* const regressionIntervalText = "rank regression needs exact failure times; use --method mle";

namespace {

// The grid in x1 - gamma, as multiples of the data's spread, as the likelihood's profile scans it.
constexpr int gridPoints = 41;
constexpr double smallestDecade = -6;
constexpr double decadeStep = 0.25;

// From the grid's 1e-6 of the spread to the smallest double there are fewer decades than this.
constexpr int maximumDecadesBelowGrid = 400;

constexpr double gammaBracket = 1e-10; // relative to x1 - gamma
constexpr int maximumBisections = 200;

double gridGamma(double x1, double spread, int i)
{
    return x1 - spread * std::pow(10.0, smallestDecade + decadeStep * (gridPoints - 1 - i));
}

struct Trial {
    double gamma;
    double rSquared;
};

// The mean y of a record's units and the sum of their squares about it, unit by unit in rank order
// (Welford's recurrence, which keeps the digits that a sum of squares less a square would lose).
struct RecordSpread {
    double mean = 0;
    double m2 = 0;
};

RecordSpread unitSpread(const RankRun& run, double allUnits)
{
    RecordSpread s;
    for (double k = 1; k <= run.count; ++k) {
        const double F = medianRankUnreliability(run.rankBefore + k * run.increment, allUnits);
        const double y = std::log(-std::log1p(-F));
        const double delta = y - s.mean;
        s.mean += delta / k;
        s.m2 += delta * (y - s.mean);
    }
    return s;
}

} // namespace

std::size_t firstIntervalRecord(const LifeData& data)
{
    for (std::size_t i = 0; i < data.states.size(); ++i) {
        if (data.states[i] == State::interval && data.values[i] < data.upper[i])
            return i;
    }
    return data.states.size();
}

struct RankRegression::Sums {
    double x = 0;      // sum of c x, then the mean x
    double xx = 0;     // sum of c (x - mean x)^2
    double xy = 0;     // sum of c (x - mean x)(record mean y - mean y)
    double wx = 0;     // sum of c w (x - mean x), w = dx/dgamma up to its sign: 1/(t - gamma)
    double wy = 0;     // sum of c w (record mean y - mean y)

    void add(const Sums& o)
    {
        x += o.x;
        xx += o.xx;
        xy += o.xy;
        wx += o.wx;
        wy += o.wy;
    }
};

RankRegression::RankRegression(const PreparedData& data, const FitSettings& settings)
    : data_(data), work_(makeWork(data, settings)), x1_(smallestFailure(data))
{
    checkFittable(data);
    const std::vector<RankRun> runs = adjustedRankRuns(data);
    const double allUnits = rankedUnits(data);
    recordMeanY_.assign(runs.size(), 0);
    std::vector<double> recordM2(runs.size(), 0);
    work_->run(static_cast<std::uint32_t>(runs.size()), [&](std::uint32_t, std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t j = begin; j < end; ++j) {
            const RecordSpread spread = unitSpread(runs[j], allUnits);
            recordMeanY_[j] = spread.mean;
            recordM2[j] = spread.m2;
        }
    });
    units_ = data.failureUnits;
    struct Spread {
        double m2 = 0;
        void add(const Spread& o) { m2 += o.m2; }
    };
    struct Total {
        double y = 0;
        void add(const Total& o) { y += o.y; }
    };
    meanY_ = sumInChunks<Total>(*work_, 0, runs.size(), [&](Total& t, std::size_t j) {
                 t.y += data.failureCounts[j] * recordMeanY_[j];
             }).y / units_;
    syy_ = sumInChunks<Spread>(*work_, 0, runs.size(), [&](Spread& s, std::size_t j) {
               const double d = recordMeanY_[j] - meanY_;
               s.m2 += recordM2[j] + data.failureCounts[j] * d * d;
           }).m2;
}

RankRegression::~RankRegression() = default;

RankRegression::Sums RankRegression::sums(double gamma)
{
    const std::vector<double>& t = data_.failureTimes;
    const std::vector<double>& c = data_.failureCounts;
    Sums first = sumInChunks<Sums>(*work_, 0, t.size(), [&](Sums& s, std::size_t j) {
        s.x += c[j] * std::log(t[j] - gamma);
    });
    const double meanX = first.x / units_;
    Sums result = sumInChunks<Sums>(*work_, 0, t.size(), [&](Sums& s, std::size_t j) {
        const double dx = std::log(t[j] - gamma) - meanX;
        const double dy = recordMeanY_[j] - meanY_;
        const double w = c[j] / (t[j] - gamma);
        s.xx += c[j] * dx * dx;
        s.xy += c[j] * dx * dy;
        s.wx += w * dx;
        s.wy += w * dy;
    });
    result.x = meanX;
    return result;
}

double RankRegression::slopeSign(double gamma)
{
    // r^2 = xy^2 / (xx yy); dx/dgamma = -w, so d xy/dgamma = -wy and d xx/dgamma = -2 wx, and
    // d r^2/dgamma has the sign of xy (xy wx - wy xx) / ... with yy > 0 not depending on gamma.
    const Sums s = sums(gamma);
    return s.xy * (s.xy * s.wx - s.wy * s.xx) * 2;
}

WeibullFit RankRegression::fitTwoParameter(RegressionAxis axis, double gamma)
{
    checkLocation(data_, gamma);
    const Sums s = sums(gamma);
    WeibullFit fit = withStatus(FitStatus::ok);
    if (axis == RegressionAxis::y) {
        const double slope = s.xy / s.xx;
        const double intercept = meanY_ - slope * s.x;
        fit.m = slope;
        fit.eta = std::exp(-intercept / slope);
    } else {
        const double slope = s.xy / syy_;
        const double intercept = s.x - slope * meanY_;
        fit.m = 1 / slope;
        fit.eta = std::exp(intercept);
    }
    fit.gamma = gamma;
    fit.rSquared = s.xy * s.xy / (s.xx * syy_);
    return fit;
}

WeibullFit RankRegression::fitThreeParameter(RegressionAxis axis)
{
    if (data_.distinctFailureTimes < 3)
        return withStatus(FitStatus::tooFewFailures);
    const double spread = data_.largestTime - x1_;
    const double closest = std::nextafter(x1_, -INFINITY); // the largest gamma there is
    std::vector<Trial> trials; // ascending in gamma, each gamma once
    auto add = [&](double gamma) {
        gamma = std::min(gamma, closest);
        if (trials.empty() || gamma > trials.back().gamma)
            trials.push_back({gamma, fitTwoParameter(axis, gamma).rSquared});
    };
    for (int i = 0; i < gridPoints; ++i)
        add(gridGamma(x1_, spread, i));
    // Still rising toward x1 at the grid's end: follow it a decade at a time, to the largest double
    // below x1 if need be, since a maximum can lie closer than any fixed grid reaches.
    for (int decade = 0; decade < maximumDecadesBelowGrid && trials.size() >= 2 && trials.back().gamma < closest &&
                         trials.back().rSquared > trials[trials.size() - 2].rSquared;
         ++decade)
        add(x1_ - (x1_ - trials.back().gamma) / 10);

    // The highest point; at an end of the trials, r^2 has no maximum inside them.
    std::size_t best = 0;
    for (std::size_t k = 1; k < trials.size(); ++k) {
        if (trials[k].rSquared > trials[best].rSquared)
            best = k;
    }
    if (best == 0)
        return withStatus(FitStatus::noFiniteMaximum);
    if (best + 1 == trials.size()) {
        WeibullFit fit = withStatus(FitStatus::noInteriorMaximum);
        fit.statusText = regressionNoInteriorMaximumText;
        return fit;
    }

    // r^2 rises with gamma at low and falls at high.
    double low = trials[best - 1].gamma;
    double high = trials[best + 1].gamma;
    for (int i = 0; i < maximumBisections && high - low > gammaBracket * (x1_ - high); ++i) {
        const double middle = low + (high - low) / 2;
        if (middle <= low || middle >= high)
            break;
        if (slopeSign(middle) > 0)
            low = middle;
        else
            high = middle;
    }
    return fitTwoParameter(axis, low + (high - low) / 2);
}

} // namespace lifedata

// Likelihood-ratio bounds checked against the likelihood itself, on random samples (complete,
// censored, with intervals): every numeric side the inference reports is recomputed by a
// constrained maximisation of this file's own (grid scans and golden sections on the plain
// log-likelihood, no derivatives, no path following), and the intervals must nest as the
// confidence grows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "chi_square_one_df.h"
#include "constrained_profile.h"
#include "model_inference.h"
#include "random_stream.h"
#include "weibull_fit.h"

using namespace lifedata;

namespace {

constexpr double minusInfinity = -std::numeric_limits<double>::infinity();
const double confidences[4] = {0.8, 0.9, 0.95, 0.99};
const FitSettings oneThread{1};

// Drawn from a three-parameter Weibull; kind 0 complete, 1 with suspensions (a withdrawal time per
// unit and an end of test), 2 with intervals between inspections and a few exact values.
LifeData randomSample(std::uint64_t index)
{
    RandomStream random(20261207, index);
    const int kind = static_cast<int>(index % 3);
    const int n = 8 + static_cast<int>(index % 23);
    const double m = 0.9 + 3 * random.uniform();
    const double eta = 10 + 90 * random.uniform();
    const double gamma = eta * random.uniform();
    const double endOfTest = weibullDraw(random, m, eta, gamma) + 0.5 * eta;
    const double inspection = eta / 4;
    LifeData data;
    for (int i = 0; i < n; ++i) {
        const double t = weibullDraw(random, m, eta, gamma);
        double lower = t, upper = t;
        State state = State::failure;
        if (kind == 1) {
            const double withdrawal = weibullDraw(random, 1, 3 * eta, gamma);
            const double seen = std::fmin(withdrawal, endOfTest);
            if (seen < t) {
                state = State::suspension;
                lower = upper = seen;
            }
        } else if (kind == 2 && i % 4 != 0) {
            state = State::interval;
            lower = inspection * std::floor(t / inspection);
            upper = lower + inspection;
        }
        data.values.push_back(lower);
        data.upper.push_back(upper);
        data.states.push_back(state);
        data.counts.push_back(1);
    }
    return data;
}

// A golden section narrows a bracket of two grid steps (at most 2) to 1e-5, where the value is
// within 1e-9 of the maximum for curvatures up to 20 per unit squared.
double goldenMaximum(const auto& f, double lo, double hi)
{
    const double r = (std::sqrt(5.0) - 1) / 2;
    double a = hi - r * (hi - lo), b = lo + r * (hi - lo);
    double fa = f(a), fb = f(b);
    for (int k = 0; k < 26; ++k) {
        if (fa < fb) {
            lo = a;
            a = b;
            fa = fb;
            b = lo + r * (hi - lo);
            fb = f(b);
        } else {
            hi = b;
            b = a;
            fb = fa;
            a = hi - r * (hi - lo);
            fa = f(a);
        }
    }
    return std::fmax(fa, fb);
}

// The local maxima of f on a grid, its ends excluded, each polished by a golden section between
// its neighbours, highest first.
std::vector<double> interiorMaxima(const auto& f, double from, double to, int points)
{
    std::vector<double> x(points), y(points), maxima;
    for (int i = 0; i < points; ++i) {
        x[i] = from + (to - from) * i / (points - 1);
        y[i] = f(x[i]);
    }
    for (int i = 1; i + 1 < points; ++i) {
        if (y[i] >= y[i - 1] && y[i] >= y[i + 1] && y[i] > minusInfinity)
            maxima.push_back(std::fmax(y[i], goldenMaximum(f, x[i - 1], x[i + 1])));
    }
    std::sort(maxima.rbegin(), maxima.rend());
    return maxima;
}

// The highest of them; -infinity when the grid has none.
double interiorMaximum(const auto& f, double from, double to, int points)
{
    const std::vector<double> maxima = interiorMaxima(f, from, to, points);
    return maxima.empty() ? minusInfinity : maxima.front();
}

struct Held {
    HeldQuantity quantity;
    double value;
    double argument; // percent of a B-life, time of a reliability
};

// The interior maxima of the log-likelihood with the quantity held (the rise at the smallest failure
// excluded), highest first: with two parameters the one maximum.
std::vector<double> constrainedMaxima(const PreparedData& data, const WeibullFit& fit, bool three, const Held& held)
{
    const std::unique_ptr<ChunkedWork> work = makeWork(data, oneThread);
    LikelihoodEvaluator likelihood(data, *work);
    const auto ll = [&](double m, double eta, double gamma) {
        const double value = likelihood.evaluate(m, eta, gamma, 0).value;
        return std::isnan(value) ? minusInfinity : value;
    };
    if (held.quantity == HeldQuantity::location) {
        const WeibullFit inner = fitTwoParameter(data, held.value, oneThread);
        return std::vector<double>{inner.status == FitStatus::ok ? inner.logLikelihood : minusInfinity};
    }
    // eta tied to m by a held B-life or reliability: eta = (T - gamma) exp(-K / m).
    double T = 0, K = 0;
    if (held.quantity == HeldQuantity::bLife) {
        T = held.value;
        K = std::log(-std::log1p(-held.argument / 100));
    } else if (held.quantity == HeldQuantity::reliability) {
        T = held.argument;
        K = std::log(-std::log(held.value));
    }
    const auto atGamma = [&](double gamma) {
        switch (held.quantity) {
        case HeldQuantity::shape:
            return interiorMaximum([&](double lnEta) { return ll(held.value, std::exp(lnEta), gamma); },
                                   std::log(fit.eta) - 8, std::log(fit.eta) + 12, 21);
        case HeldQuantity::scale:
            return interiorMaximum([&](double lnM) { return ll(std::exp(lnM), held.value, gamma); },
                                   std::log(fit.m) - 9, std::log(fit.m) + 9, 37);
        default:
            if (!(T > gamma))
                return minusInfinity;
            return interiorMaximum(
                [&](double lnM) {
                    const double m = std::exp(lnM);
                    return ll(m, (T - gamma) * std::exp(-K / m), gamma);
                },
                std::log(fit.m) - 9, std::log(fit.m) + 9, 37);
        }
    };
    if (!three)
        return std::vector<double>{atGamma(fit.gamma)};
    double limit = smallestFailure(data);
    if (held.quantity == HeldQuantity::bLife || held.quantity == HeldQuantity::reliability)
        limit = std::fmin(limit, T);
    // gamma = limit - e^v, from 1e-7 eta below the limit to 1e4 eta below it (a large m puts gamma
    // far below the data).
    return interiorMaxima([&](double v) { return atGamma(limit - std::exp(v)); }, std::log(1e-7 * fit.eta),
                           std::log(1e4 * fit.eta), 253);
}

struct Tally {
    int checkedSides = 0;
    int threeParameterModels = 0;
    int sidesNotFound = 0;
    int wrongDrops = 0;
};

// The drop at each numeric side of one interval, from the independent constrained maximum.
void checkSides(const PreparedData& data, const WeibullFit& fit, bool three, HeldQuantity quantity,
                double argument, const ConfidenceInterval& interval, double confidence, Tally& tally,
                std::uint64_t sample)
{
    const double cutOff = chiSquareOneDfQuantile(confidence) / 2;
    for (const BoundSide* side : {&interval.lower, &interval.upper}) {
        if (!side->text.empty() || std::isnan(side->value))
            continue;
        if (quantity == HeldQuantity::reliability && !(side->value > 0 && side->value < 1))
            continue;
        // Where gamma has two interior maxima, the side's branch may be either.
        double drop = std::numeric_limits<double>::infinity();
        for (double maximum : constrainedMaxima(data, fit, three, {quantity, side->value, argument})) {
            if (std::fabs(fit.logLikelihood - maximum - cutOff) < std::fabs(drop - cutOff))
                drop = fit.logLikelihood - maximum;
        }
        if (!(std::fabs(drop - cutOff) <= 1e-6 * cutOff)) {
            ++tally.wrongDrops;
            std::printf("sample %llu %s quantity %d: side %.17g falls by %.17g, not %.17g\n",
                        static_cast<unsigned long long>(sample), three ? "3P" : "2P", static_cast<int>(quantity),
                        side->value, drop, cutOff);
        }
        ++tally.checkedSides;
    }
}

// A side as a position on the real line: an unbounded side lies at the end it is open to.
double position(const BoundSide& side, double toward)
{
    return std::isnan(side.value) ? toward * std::numeric_limits<double>::infinity() : side.value;
}

// A wider confidence never narrows a side; a side not found makes no claim to compare.
void expectNested(const QuantityBounds& narrow, const QuantityBounds& wide, std::uint64_t sample, const char* name,
                  Tally& tally)
{
    const ConfidenceInterval& a = narrow.likelihoodRatio;
    const ConfidenceInterval& b = wide.likelihoodRatio;
    const auto compare = [&](const BoundSide& inner, const BoundSide& outer, double toward) {
        if (inner.text == notFoundText || outer.text == notFoundText) {
            ++tally.sidesNotFound;
            return;
        }
        EXPECT_GE(toward * position(outer, toward), toward * position(inner, toward))
            << "sample " << sample << " " << name << ": " << inner.value << " " << inner.text << " against "
            << outer.value << " " << outer.text;
    };
    compare(a.lower, b.lower, -1);
    compare(a.upper, b.upper, 1);
}

void checkModel(const PreparedData& data, const WeibullFit& fit, bool three, std::uint64_t sample, Tally& tally)
{
    InferenceRequest request{0.8, {10}, {data.failureTimes[data.failureTimes.size() / 2]},
                             BoundsChoice::likelihoodRatio, 0, 1, 1};
    std::vector<ModelInference> byConfidence;
    for (double confidence : confidences) {
        request.confidence = confidence;
        byConfidence.push_back(inferModel(data, fit, three, request));
    }
    for (std::size_t k = 0; k + 1 < byConfidence.size(); ++k) {
        const ModelInference& a = byConfidence[k];
        const ModelInference& b = byConfidence[k + 1];
        expectNested(a.m, b.m, sample, "m", tally);
        expectNested(a.eta, b.eta, sample, "eta", tally);
        if (three)
            expectNested(a.gamma, b.gamma, sample, "gamma", tally);
        expectNested(a.bLives[0].bounds, b.bLives[0].bounds, sample, "B10", tally);
        expectNested(a.reliability[0].bounds, b.reliability[0].bounds, sample, "R", tally);
    }
    // The drops at one confidence per sample, in turn, to keep the test fast.
    const std::size_t k = sample % 4;
    const ModelInference& at = byConfidence[k];
    const double c = confidences[k];
    checkSides(data, fit, three, HeldQuantity::shape, 0, at.m.likelihoodRatio, c, tally, sample);
    checkSides(data, fit, three, HeldQuantity::scale, 0, at.eta.likelihoodRatio, c, tally, sample);
    if (three)
        checkSides(data, fit, three, HeldQuantity::location, 0, at.gamma.likelihoodRatio, c, tally, sample);
    checkSides(data, fit, three, HeldQuantity::bLife, 10, at.bLives[0].bounds.likelihoodRatio, c, tally, sample);
    checkSides(data, fit, three, HeldQuantity::reliability, request.at[0],
               at.reliability[0].bounds.likelihoodRatio, c, tally, sample);
}


// Samples [first, first + 50): two hundred in four parts, each its own test to stay within a CI timeout.
void checkSamples(std::uint64_t first)
{
    Tally tally;
    for (std::uint64_t sample = first; sample < first + 50; ++sample) {
        const PreparedData data = prepareLifeData(randomSample(sample));
        if (data.distinctFailureTimes < 3)
            continue;
        const WeibullFit two = fitTwoParameter(data, 0, oneThread);
        if (two.status == FitStatus::ok)
            checkModel(data, two, false, sample, tally);
        const ThreeParameterFit three = fitThreeParameter(data, oneThread);
        if (three.fit.status == FitStatus::ok) {
            ++tally.threeParameterModels;
            checkModel(data, three.fit, true, sample, tally);
        }
    }
    EXPECT_EQ(tally.wrongDrops, 0);
    EXPECT_GE(tally.threeParameterModels, 25);
    EXPECT_GE(tally.checkedSides, 500);
    // Sides the search could not establish (words, no number) stay a small part of the comparisons.
    EXPECT_LE(tally.sidesNotFound, 300);
    std::printf("%d three-parameter models, %d sides checked, %d comparisons with a side not found\n",
                tally.threeParameterModels, tally.checkedSides, tally.sidesNotFound);
}

} // namespace

TEST(LikelihoodRatioBoundsProperty, EverySideFallsByTheCutOffAndIntervalsNest0) { checkSamples(0); }
TEST(LikelihoodRatioBoundsProperty, EverySideFallsByTheCutOffAndIntervalsNest50) { checkSamples(50); }
TEST(LikelihoodRatioBoundsProperty, EverySideFallsByTheCutOffAndIntervalsNest100) { checkSamples(100); }
TEST(LikelihoodRatioBoundsProperty, EverySideFallsByTheCutOffAndIntervalsNest150) { checkSamples(150); }

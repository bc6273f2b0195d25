// The two-Weibull mixture: its maxima against a tightly converged multi-start optimisation in R on
// a published bimodal sample and on a generated one, both statuses on constructed data, the
// likelihood's derivatives, and the invariants (counts against lines, 1, 2 and 3 threads).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "life_analysis.h"
#include "life_data_file.h"
#include "mixture_likelihood.h"
#include "life_data_builders.h"

using namespace lifedata;

namespace {

Analysis mixtureOf(const LifeData& data, unsigned threads = 1)
{
    AnalysisRequest request;
    request.mixture = true;
    request.model = ModelChoice::twoParameter;
    request.threads = threads;
    request.at = {1000};
    return analyseLifeData(data, request);
}

LifeData example(const char* name) { return readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/" + name); }

// The half width of a Fisher interval on the scale it was formed on, over z: the standard error there.
double logSe(const QuantityBounds& b) { return std::log(b.fisher.upper.value / b.fisher.lower.value) / (2 * 1.959963984540054); }
double logit(double p) { return std::log(p / (1 - p)); }

struct Reference {
    double p, m1, eta1, m2, eta2, logLikelihood;
};

void expectReference(const MixtureFit& fit, const Reference& r)
{
    ASSERT_EQ(fit.status, MixtureStatus::ok);
    EXPECT_NEAR(fit.p, r.p, 1e-6 * r.p);
    EXPECT_NEAR(fit.m[0], r.m1, 1e-6 * r.m1);
    EXPECT_NEAR(fit.eta[0], r.eta1, 1e-6 * r.eta1);
    EXPECT_NEAR(fit.m[1], r.m2, 1e-6 * r.m2);
    EXPECT_NEAR(fit.eta[1], r.eta2, 1e-6 * r.eta2);
    EXPECT_NEAR(fit.logLikelihood, r.logLikelihood, 1e-8);
    EXPECT_GE(fit.startsAtMaximum, 1u);
    EXPECT_LE(fit.startsAtMaximum, fit.starts);
}

LifeData recordsOf(std::initializer_list<std::pair<double, std::uint32_t>> failures,
                   std::initializer_list<std::pair<double, std::uint32_t>> suspensions = {})
{
    LifeData data;
    for (const auto& [t, count] : failures) {
        data.values.push_back(t);
        data.upper.push_back(t);
        data.states.push_back(State::failure);
        data.counts.push_back(count);
    }
    for (const auto& [t, count] : suspensions) {
        data.values.push_back(t);
        data.upper.push_back(t);
        data.states.push_back(State::suspension);
        data.counts.push_back(count);
    }
    return data;
}

// The generated sample read at inspections every 100 hours: its failures become intervals, grouped
// with counts; the suspensions stay.
LifeData inspected(const LifeData& data)
{
    LifeData grouped;
    for (std::size_t i = 0; i < data.values.size(); ++i) {
        const bool failed = data.states[i] == State::failure;
        const double low = failed ? 100 * std::floor(data.values[i] / 100) : data.values[i];
        const double high = failed ? low + 100 : data.values[i];
        const State state = failed ? State::interval : State::suspension;
        std::size_t j = 0;
        while (j < grouped.values.size() && !(grouped.values[j] == low && grouped.states[j] == state))
            ++j;
        if (j < grouped.values.size()) {
            ++grouped.counts[j];
            continue;
        }
        grouped.values.push_back(low);
        grouped.upper.push_back(high);
        grouped.states.push_back(state);
        grouped.counts.push_back(1);
    }
    return grouped;
}

template <class T>
bool sameBits(const T& a, const T& b) { return std::memcmp(&a, &b, sizeof(T)) == 0; }

} // namespace

// Rscript tests/lifedata/mixture_reference.R examples/old_faithful_eruptions.dat (R 4.2.2):
//   p 0.339183408 m1 9.466140956 eta1 2.100008428 m2 11.45013048 eta2 4.448368458 logLik -274.731588363
TEST(WeibullMixture, OldFaithfulAgainstR)
{
    const Analysis analysis = mixtureOf(example("old_faithful_eruptions.dat"));
    const MixtureFit& fit = analysis.mixture.fit;
    expectReference(fit, {0.339183408, 9.466140956, 2.100008428, 11.45013048, 4.448368458, -274.731588363});
    EXPECT_EQ(fit.starts, 19u); // 272 failures: the 5 % quantiles
    // Short eruptions: about a third of 272 expected failures.
    EXPECT_NEAR(fit.expectedFailures[0] + fit.expectedFailures[1], 272, 1e-9);
    EXPECT_LT(analysis.mixture.inference.criteria.bic, analysis.mixture.oneCriteria.bic);
}

// Rscript tests/lifedata/mixture_reference.R examples/two_populations_generated.dat (R 4.2.2):
//   p 0.3994499782 m1 1.105438658 eta1 211.3394877 m2 3.831344677 eta2 965.622973 logLik -546.251085661
//   se 0.58145395 0.23299273 0.56022444 0.28278418 0.070818092   (from optimHess, on logit p, ln m, ln eta)
TEST(WeibullMixture, GeneratedSampleAgainstRWithItsFisherBounds)
{
    const Analysis analysis = mixtureOf(example("two_populations_generated.dat"));
    expectReference(analysis.mixture.fit,
                    {0.3994499782, 1.105438658, 211.3394877, 3.831344677, 965.622973, -546.251085661});
    const MixtureInference& i = analysis.mixture.inference;
    const double z = 1.959963984540054;
    EXPECT_NEAR((logit(i.p.fisher.upper.value) - logit(i.p.fisher.lower.value)) / (2 * z), 0.58145395, 1e-4);
    EXPECT_NEAR(logSe(i.m[0]), 0.23299273, 1e-4);
    EXPECT_NEAR(logSe(i.eta[0]), 0.56022444, 1e-4);
    EXPECT_NEAR(logSe(i.m[1]), 0.28278418, 1e-4);
    EXPECT_NEAR(logSe(i.eta[1]), 0.070818092, 1e-5);
    // The sample was drawn with p = 0.3, and the bounds hold it.
    EXPECT_LT(i.p.fisher.lower.value, 0.3);
    EXPECT_GT(i.p.fisher.upper.value, 0.3);
    // The B-life solves F(t) = P, and its bounds hold it; R(1000) lies inside its own bounds.
    ASSERT_EQ(i.bLives.size(), 2u);
    for (const BLifeBounds& b : i.bLives) {
        EXPECT_NEAR(1 - mixtureReliability(analysis.mixture.fit, b.bounds.estimate), b.percent / 100, 1e-12);
        EXPECT_LT(b.bounds.fisher.lower.value, b.bounds.estimate);
        EXPECT_GT(b.bounds.fisher.upper.value, b.bounds.estimate);
    }
    const QuantityBounds& r = i.reliability.at(0).bounds;
    EXPECT_LT(r.fisher.lower.value, r.estimate);
    EXPECT_GT(r.fisher.upper.value, r.estimate);
}

// Two tight clusters of tied failures: each component would sit on a tie with its shape growing
// without limit, so there is no proper maximum and one Weibull is the answer.
TEST(WeibullMixture, TiedClustersHaveNoProperMaximum)
{
    const Analysis analysis = mixtureOf(recordsOf({{10, 3}, {20, 3}}));
    const MixtureAnalysis& m = analysis.mixture;
    EXPECT_EQ(m.fit.statusText, "one population");
    EXPECT_EQ(m.fit.starts, 5u); // every split of 6 failures
    EXPECT_EQ(m.fit.startsAtMaximum, 0u);
    EXPECT_EQ(m.oneM, analysis.twoParameter.m);
    EXPECT_EQ(m.oneLogLikelihood, analysis.twoParameter.logLikelihood);
    EXPECT_TRUE(m.inference.bLives.empty());
}

// Eight close failures, then one failure at 100 among ten units still running at 150: the only
// proper maxima give that late failure a component of its own, holding about one failure.
TEST(WeibullMixture, ALoneLateFailureIsTooSmallAComponent)
{
    const Analysis analysis =
        mixtureOf(recordsOf({{5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}, {10, 1}, {11, 1}, {12, 1}, {100, 1}}, {{150, 10}}));
    EXPECT_EQ(analysis.mixture.fit.statusText, "a component holds fewer than 2 failures");
    EXPECT_TRUE(std::isnan(analysis.mixture.fit.p));
    EXPECT_EQ(analysis.mixture.oneEta, analysis.twoParameter.eta);
}

// Counts against the same units line by line, on every kind of record (intervals, suspensions):
// the same bits of every estimate and bound.
TEST(WeibullMixture, CountsAndLinesGiveTheSameBits)
{
    const LifeData grouped = inspected(example("two_populations_generated.dat"));
    ASSERT_LT(grouped.values.size(), 20u);
    const Analysis a = mixtureOf(grouped);
    const Analysis b = mixtureOf(oneUnitPerLine(grouped));
    ASSERT_EQ(a.mixture.fit.status, MixtureStatus::ok);
    EXPECT_TRUE(sameBits(a.mixture.fit.theta, b.mixture.fit.theta));
    EXPECT_TRUE(sameBits(a.mixture.fit.logLikelihood, b.mixture.fit.logLikelihood));
    EXPECT_EQ(a.mixture.fit.startsAtMaximum, b.mixture.fit.startsAtMaximum);
    EXPECT_TRUE(sameBits(a.mixture.inference.p.fisher.lower.value, b.mixture.inference.p.fisher.lower.value));
    EXPECT_TRUE(sameBits(a.mixture.inference.bLives[1].bounds.fisher.upper.value,
                         b.mixture.inference.bLives[1].bounds.fisher.upper.value));
}

// The likelihood's gradient and Hessian against central differences, on failures, suspensions
// and intervals (the interval from 0 included).
TEST(WeibullMixture, DerivativesMatchDifferences)
{
    LifeData data = recordsOf({{3, 2}, {7, 1}, {40, 1}, {55, 3}}, {{20, 2}, {80, 1}});
    for (auto [low, high] : {std::pair{0.0, 4.0}, std::pair{30.0, 60.0}}) {
        data.values.push_back(low);
        data.upper.push_back(high);
        data.states.push_back(State::interval);
        data.counts.push_back(2);
    }
    const PreparedData prepared = prepareLifeData(data);
    const auto weibull = makeDistribution("weibull2");
    ChunkedWork work(0);
    const MixtureLikelihood likelihood(prepared, *weibull, work);
    const double theta[5] = {-0.3, std::log(1.7), std::log(6.0), std::log(2.5), std::log(50.0)};
    const MixtureTerms t = likelihood.evaluate(theta, 2);
    const double h = 1e-5;
    for (int i = 0; i < 5; ++i) {
        double up[5], down[5];
        std::memcpy(up, theta, sizeof up);
        std::memcpy(down, theta, sizeof down);
        up[i] += h;
        down[i] -= h;
        const MixtureTerms a = likelihood.evaluate(up, 1), b = likelihood.evaluate(down, 1);
        EXPECT_NEAR(t.gradient[i], (a.value - b.value) / (2 * h), 1e-6) << i;
        for (int j = 0; j < 5; ++j)
            EXPECT_NEAR(t.hessian[i][j], (a.gradient[j] - b.gradient[j]) / (2 * h), 1e-5) << i << " " << j;
    }
}

// Enough records for the sums to be shared by helper threads: 1, 2 and 3 threads give the same bits.
TEST(WeibullMixture, ThreadsGiveTheSameBits)
{
    LifeData data;
    for (int i = 0; i < 40000; ++i) {
        const double u = (i + 0.5) / 40000;
        const double t = i % 3 == 0 ? 100 * std::pow(-std::log1p(-u), 1 / 1.5) : 1000 * std::pow(-std::log1p(-u), 0.25);
        data.values.push_back(t);
        data.upper.push_back(i % 7 == 0 ? t * 1.1 : t);
        data.states.push_back(i % 7 == 0 ? State::interval : i % 11 == 0 ? State::suspension : State::failure);
        data.counts.push_back(1 + i % 2);
    }
    const PreparedData prepared = prepareLifeData(data);
    const auto weibull = makeDistribution("weibull2");
    const double theta[5] = {-0.7, std::log(1.4), std::log(110.0), std::log(3.8), std::log(990.0)};
    MixtureTerms terms[3];
    ExpectationSums expected[3];
    for (unsigned helpers = 0; helpers < 3; ++helpers) {
        ChunkedWork work(helpers);
        const MixtureLikelihood likelihood(prepared, *weibull, work);
        terms[helpers] = likelihood.evaluate(theta, 2);
        expected[helpers] = likelihood.expectation(theta);
    }
    for (int k = 1; k < 3; ++k) {
        EXPECT_TRUE(sameBits(terms[0], terms[k])) << k;
        EXPECT_TRUE(sameBits(expected[0], expected[k])) << k;
    }
}

TEST(WeibullMixture, RefusedWithAKnownShapeOrALocation)
{
    AnalysisRequest request;
    request.mixture = true;
    request.shape = 2;
    EXPECT_THROW(analyseLifeData(recordsOf({{1, 1}, {2, 1}, {3, 1}}), request), DataError);
    request.shape = 0;
    request.gamma = 0.5;
    EXPECT_THROW(analyseLifeData(recordsOf({{1, 1}, {2, 1}, {3, 1}}), request), DataError);
}

// Fits with a known shape: the chi-square bounds worked by hand with 3 failures and with none, the
// likelihood fit of intervals against R, and the invariants (counts against lines, threads).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "life_analysis.h"

using namespace lifedata;

namespace {

struct Record {
    double value;
    double upper;
    State state;
    std::uint32_t count;
};

LifeData records(std::initializer_list<Record> list)
{
    LifeData data;
    for (const Record& r : list) {
        data.values.push_back(r.value);
        data.upper.push_back(r.upper);
        data.states.push_back(r.state);
        data.counts.push_back(r.count);
    }
    return data;
}

Record failure(double t, std::uint32_t count = 1) { return {t, t, State::failure, count}; }
Record suspension(double t, std::uint32_t count = 1) { return {t, t, State::suspension, count}; }
Record interval(double low, double high) { return {low, high, State::interval, 1}; }

// 5 suspensions at 100, 3 at 200, failures at 150, 170 and 190: S = 257500 for m = 2, r = 3.
LifeData threeFailures()
{
    return records({suspension(100, 5), suspension(200, 3), failure(150), failure(170), failure(190)});
}

Analysis knownShape(const LifeData& data, double shape, unsigned threads = 0)
{
    AnalysisRequest request;
    request.shape = shape;
    request.model = ModelChoice::twoParameter;
    request.at = {100};
    request.threads = threads;
    return analyseLifeData(data, request);
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void expectRelative(double actual, double reference, double tolerance, const char* what)
{
    EXPECT_NEAR(actual, reference, tolerance * std::fabs(reference)) << what;
}

// The chi-square quantiles, from scipy 1.10.1: chi2.isf(0.025, 8), chi2.ppf(0.025, 6),
// chi2.isf(0.05, 8), chi2.isf(0.025, 2), chi2.isf(0.05, 2).
constexpr double upper025Of8 = 17.53454613948465;
constexpr double lower025Of6 = 1.2373442457912027;
constexpr double upper05Of8 = 15.507313055865454;
constexpr double upper025Of2 = 7.3777589082278725;
constexpr double upper05Of2 = 5.991464547107983;

} // namespace

TEST(KnownShape, ThreeFailuresWorkedByHand)
{
    const Analysis analysis = knownShape(threeFailures(), 2);
    const WeibullFit& fit = analysis.twoParameter;
    ASSERT_EQ(fit.status, FitStatus::ok) << fit.statusText;
    EXPECT_EQ(fit.m, 2);
    expectRelative(fit.eta, std::sqrt(257500.0 / 3), 1e-15, "eta = (S/r)^(1/m)");
    const ModelInference& inference = analysis.twoParameterInference;
    ASSERT_TRUE(inference.shapeFixed);
    ASSERT_TRUE(inference.eta.hasChiSquare);
    EXPECT_FALSE(inference.eta.hasFisher || inference.eta.hasLikelihoodRatio || inference.m.hasChiSquare);
    const ConfidenceInterval& eta = inference.eta.chiSquare;
    expectRelative(eta.lower.value, std::sqrt(2 * 257500 / upper025Of8), 1e-13, "lower");
    expectRelative(eta.upper.value, std::sqrt(2 * 257500 / lower025Of6), 1e-13, "upper");
    expectRelative(inference.etaLowerOneSided, std::sqrt(2 * 257500 / upper05Of8), 1e-13, "one-sided");
    // B10 = eta (-ln 0.9)^(1/2) at each side; R(100) = exp(-(100/eta)^2).
    ASSERT_EQ(inference.bLives.size(), 2u);
    const QuantityBounds& b10 = inference.bLives[1].bounds;
    expectRelative(b10.chiSquare.lower.value, eta.lower.value * std::sqrt(-std::log(0.9)), 1e-14, "B10 lower");
    expectRelative(b10.chiSquare.upper.value, eta.upper.value * std::sqrt(-std::log(0.9)), 1e-14, "B10 upper");
    const QuantityBounds& r100 = inference.reliability[0].bounds;
    expectRelative(r100.estimate, std::exp(-3 * 10000.0 / 257500), 1e-14, "R(100)");
    expectRelative(r100.chiSquare.lower.value, std::exp(-std::pow(100 / eta.lower.value, 2)), 1e-14, "R lower");
    EXPECT_FALSE(inference.goodnessOfFit.defined);
    EXPECT_EQ(analysis.threeParameter.fit.status, FitStatus::notFitted);
    // One parameter is estimated. With failures and suspensions the information about ln eta is
    // m^2 r, so var(eta) = eta^2 / (m^2 r) and m, known, varies not at all.
    expectRelative(inference.criteria.aic, 2 - 2 * fit.logLikelihood, 1e-15, "AIC with k = 1");
    ASSERT_EQ(inference.covarianceSize, 2);
    EXPECT_EQ(inference.covariance[0][0], 0);
    expectRelative(inference.covariance[1][1], fit.eta * fit.eta / 12, 1e-12, "var(eta)");
    // The mean of a Weibull with m = 2: eta Gamma(1.5) = eta sqrt(pi) / 2.
    expectRelative(inference.distribution.mean, fit.eta * std::sqrt(std::acos(-1.0)) / 2, 1e-14, "mean");
    EXPECT_TRUE(std::isnan(inference.mReducedBias));
    EXPECT_TRUE(inference.withoutEstimate.empty());
}

TEST(KnownShape, ZeroFailuresGiveOnlyLowerBounds)
{
    // S = 5 * 100^2 + 3 * 200^2 = 170000; the lower sides have 2 degrees of freedom.
    const Analysis analysis = knownShape(records({suspension(100, 5), suspension(200, 3)}), 2);
    const WeibullFit& fit = analysis.twoParameter;
    EXPECT_EQ(fit.status, FitStatus::zeroFailures);
    EXPECT_EQ(fit.statusText, "zero failures: only a lower bound");
    EXPECT_TRUE(std::isnan(fit.eta));
    EXPECT_EQ(fit.m, 2);
    const ModelInference& inference = analysis.twoParameterInference;
    ASSERT_TRUE(inference.available);
    EXPECT_TRUE(std::isnan(inference.eta.estimate));
    expectRelative(inference.eta.chiSquare.lower.value, std::sqrt(2 * 170000 / upper025Of2), 1e-13, "lower");
    EXPECT_TRUE(std::isnan(inference.eta.chiSquare.upper.value));
    EXPECT_EQ(inference.eta.chiSquare.upper.text, unboundedText);
    expectRelative(inference.etaLowerOneSided, std::sqrt(2 * 170000 / upper05Of2), 1e-13, "one-sided");
    for (const BLifeBounds& b : inference.bLives) {
        EXPECT_TRUE(std::isnan(b.bounds.estimate));
        EXPECT_EQ(b.bounds.chiSquare.upper.text, unboundedText);
        EXPECT_GT(b.bounds.chiSquare.lower.value, 0);
    }
    EXPECT_EQ(inference.withoutEstimate, "zero failures: only a lower bound");
    // A reliability lies in [0, 1]: its side above an eta without an upper side is 1, the limit.
    ASSERT_EQ(inference.reliability.size(), 1u);
    const ConfidenceInterval& r = inference.reliability[0].bounds.chiSquare;
    EXPECT_EQ(r.upper.value, 1);
    EXPECT_EQ(r.upper.text, "");
    expectRelative(r.lower.value, std::exp(-std::pow(100 / inference.eta.chiSquare.lower.value, 2)), 1e-15, "R lower");
}

TEST(KnownShape, MoreFailuresThanTwoToTheThirtyOne)
{
    // r = 2 (2^31 - 1) failures: 2r + 2 = 8589934590 and 2r = 8589934588 degrees of freedom. The
    // quantiles from scipy 1.10.1: chi2.isf(0.025, 8589934590) and chi2.ppf(0.025, 8589934588).
    constexpr std::uint32_t most = 2147483647u;
    const Analysis analysis = knownShape(records({failure(100, most), failure(200, most), suspension(50, 5)}), 1.5);
    const double S = most * (1000.0 + std::pow(200.0, 1.5)) + 5 * std::pow(50.0, 1.5);
    const double r = 2.0 * most;
    const ModelInference& inference = analysis.twoParameterInference;
    expectRelative(analysis.twoParameter.eta, std::pow(S / r, 1 / 1.5), 1e-14, "eta");
    expectRelative(inference.eta.chiSquare.lower.value, std::pow(2 * S / 8590191488.293652, 1 / 1.5), 1e-13, "lower");
    expectRelative(inference.eta.chiSquare.upper.value, std::pow(2 * S / 8589677693.494989, 1 / 1.5), 1e-13, "upper");
}

TEST(KnownShape, IntervalsByLikelihoodAgainstR)
{
    // R 4.2.2, survival 3.5: survreg(Surv(lo, hi, type = "interval2") ~ 1, dist = "weibull",
    // scale = 1/2) with 5 right-censored at 100, 3 at 200, (100, 160], 170 and 190: exp(coef) and
    // loglik; the bounds are uniroot(tol = 1e-13) of 2 (lmax - l(eta)) = qchisq(0.95, 1).
    const LifeData data = records({suspension(100, 5), suspension(200, 3), interval(100, 160), failure(170), failure(190)});
    const Analysis analysis = knownShape(data, 2);
    const WeibullFit& fit = analysis.twoParameter;
    ASSERT_EQ(fit.status, FitStatus::ok) << fit.statusText;
    expectRelative(fit.eta, 290.148952421284, 1e-12, "eta");
    expectRelative(fit.logLikelihood, -15.5996529479434, 1e-13, "log-likelihood");
    const QuantityBounds& eta = analysis.twoParameterInference.eta;
    ASSERT_TRUE(eta.hasLikelihoodRatio);
    EXPECT_FALSE(eta.hasChiSquare);
    expectRelative(eta.likelihoodRatio.lower.value, 180.1138764131, 1e-11, "lower");
    expectRelative(eta.likelihoodRatio.upper.value, 581.9303795782, 1e-11, "upper");
    EXPECT_TRUE(std::isnan(analysis.twoParameterInference.etaLowerOneSided));
}

TEST(KnownShape, IntervalsFromZeroWithNothingLaterHaveNoFiniteMaximum)
{
    // Every unit failed by 10 and nothing says how early: the likelihood rises as eta falls to 0.
    const Analysis analysis = knownShape(records({interval(0, 10), interval(0, 20)}), 1.5);
    EXPECT_EQ(analysis.twoParameter.status, FitStatus::noFiniteMaximum);
    EXPECT_FALSE(analysis.twoParameterInference.available);
}

// The records of `data` with every count written out as that many lines of count 1, in reverse order.
LifeData writtenOut(const LifeData& data)
{
    LifeData lines;
    for (std::size_t i = data.values.size(); i-- > 0;) {
        for (std::uint32_t c = 0; c < data.counts[i]; ++c) {
            lines.values.push_back(data.values[i]);
            lines.upper.push_back(data.upper[i]);
            lines.states.push_back(data.states[i]);
            lines.counts.push_back(1);
        }
    }
    return lines;
}

TEST(KnownShape, CountsLinesAndThreadsGiveTheSameBits)
{
    const LifeData closedForm = records({suspension(100, 5), suspension(200, 3), failure(150, 2), failure(180, 3)});
    const LifeData withInterval = records({suspension(100, 5), suspension(200, 3), failure(150, 2), interval(120, 180)});
    for (const LifeData& counted : {closedForm, withInterval}) {
        const Analysis x = knownShape(counted, 1.7, 1), y = knownShape(writtenOut(counted), 1.7, 3);
        ASSERT_EQ(x.twoParameter.status, FitStatus::ok);
        EXPECT_TRUE(sameBits(x.twoParameter.eta, y.twoParameter.eta));
        EXPECT_TRUE(sameBits(x.twoParameter.logLikelihood, y.twoParameter.logLikelihood));
        const QuantityBounds &p = x.twoParameterInference.eta, &q = y.twoParameterInference.eta;
        const bool chiSquare = p.hasChiSquare;
        const ConfidenceInterval& i = chiSquare ? p.chiSquare : p.likelihoodRatio;
        const ConfidenceInterval& j = chiSquare ? q.chiSquare : q.likelihoodRatio;
        EXPECT_TRUE(sameBits(i.lower.value, j.lower.value)) << chiSquare;
        EXPECT_TRUE(sameBits(i.upper.value, j.upper.value)) << chiSquare;
        EXPECT_TRUE(sameBits(x.twoParameterInference.etaLowerOneSided, y.twoParameterInference.etaLowerOneSided) ||
                    !chiSquare);
    }
}

TEST(KnownShape, WhatCannotBeFitted)
{
    // One failure is enough for a known shape, where the two-parameter fit needs two distinct times.
    EXPECT_EQ(knownShape(records({failure(50), suspension(80, 4)}), 3).twoParameter.status, FitStatus::ok);
    AnalysisRequest request;
    request.shape = 2;
    request.gamma = 150;
    EXPECT_THROW(analyseLifeData(threeFailures(), request), DataError); // gamma above a failure
    request.gamma = 300;
    EXPECT_THROW(analyseLifeData(records({suspension(100), suspension(200)}), request), DataError); // nothing above gamma
    request.gamma = 0;
    request.shape = -1;
    EXPECT_THROW(analyseLifeData(threeFailures(), request), DataError);
    request.shape = std::numeric_limits<double>::infinity();
    EXPECT_THROW(analyseLifeData(threeFailures(), request), DataError);
}

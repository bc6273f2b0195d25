// The fits against independent tools on published data, the likelihood's derivatives against its
// values, and the results that must not change: counts against the same records line by line, and
// any number of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "life_analysis.h"
#include "life_data_file.h"

using namespace lifedata;

namespace {

LifeData example(const char* name) { return readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/" + name); }

// The other tools converge to about 1e-8 relative; 1e-7 is what they can vouch for.
void expectNear(double actual, double reference, const char* what)
{
    EXPECT_NEAR(actual, reference, 1e-7 * std::fabs(reference)) << what;
}

void expectFit(const WeibullFit& fit, double m, double eta, double gamma, double logLikelihood)
{
    ASSERT_EQ(fit.status, FitStatus::ok) << fit.statusText;
    expectNear(fit.m, m, "m");
    expectNear(fit.eta, eta, "eta");
    if (gamma == 0)
        EXPECT_EQ(fit.gamma, 0);
    else
        expectNear(fit.gamma, gamma, "gamma");
    expectNear(fit.logLikelihood, logLikelihood, "log-likelihood");
}

Analysis analyse(const LifeData& data, ModelChoice model = ModelChoice::both, unsigned threads = 0)
{
    AnalysisRequest request;
    request.model = model;
    request.threads = threads;
    return analyseLifeData(data, request);
}

TEST(WeibullFitReference, FailuresWithSuspensions)
{
    // R 4.2, survival 3.4: f <- survreg(Surv(futime, fustat) ~ 1, data = ovarian, dist = "weibull",
    //   control = survreg.control(rel.tolerance = 1e-14, toler.chol = 1e-15, iter.max = 200))
    // m = 1 / f$scale, eta = exp(coef(f)), log-likelihood f$loglik[1].
    const Analysis a = analyse(example("ovarian_suspensions.dat"));
    expectFit(a.twoParameter, 1.1080597395734666, 1225.4189589285747, 0, -97.953901047130771);
    EXPECT_EQ(a.data.failures, 12u);
    EXPECT_EQ(a.data.suspensions, 14u);
}

TEST(WeibullFitReference, CompleteSampleTwoAndThreeParameters)
{
    // R: survreg(Surv(bb, rep(1, 23)) ~ 1, dist = "weibull", control as above), bb the 23 values.
    const Analysis a = analyse(example("ball_bearings.dat"));
    expectFit(a.twoParameter, 2.1020588751946208, 81.878334051631541, 0, -113.69129093232014);
    // scipy 1.10 (python3-scipy): minimize(lambda p: -weibull_min.logpdf(t, p[0], p[1], p[2]).sum(),
    //   weibull_min.fit(t), method="Nelder-Mead", options=dict(xatol=1e-13, fatol=1e-15,
    //   maxiter=100000, maxfev=100000)), restarted five times from its own result; p = (m, gamma, eta).
    expectFit(a.threeParameter.fit, 1.594299030313587, 63.880046576119916, 14.875915868996856, -112.8501893499404);
    ASSERT_TRUE(a.likelihoodRatio.available);
    EXPECT_NEAR(a.likelihoodRatio.statistic, 2 * (-112.8501893499404 + 113.69129093232014), 1e-8);
    EXPECT_NEAR(a.likelihoodRatio.pValue, std::erfc(std::sqrt(a.likelihoodRatio.statistic / 2)), 1e-15);

    // The same call on glass_fibres.dat, started at (10, -1, 3): a maximum below zero.
    const Analysis glass = analyse(example("glass_fibres.dat"));
    expectFit(glass.threeParameter.fit, 11.855831441821572, 3.2350250311299167, -1.5933985972961138,
              -14.285288575958248);
}

TEST(WeibullFitReference, IntervalsSuspensionsAndFailures)
{
    // R, fitdistrplus 1.1: g <- fitdistcens(salinity, "weibull", control = list(reltol = 1e-16, maxit = 1e5));
    //   fitdistcens(salinity, "weibull", start = as.list(g$estimate), optim.method = "BFGS",
    //   control = list(reltol = 1e-16, maxit = 1e5)): shape, scale, loglik.
    const Analysis a = analyse(example("salinity_intervals.dat"));
    expectFit(a.twoParameter, 2.6470718452523618, 35.857086031123785, 0, -139.09971357395514);
    // R: optim(c(1.4, 24, 10), nll, control = list(reltol = 1e-16, maxit = 1e5)), restarted five times,
    //   nll(p) = -(sum(dweibull(ex - g, m, eta, log = TRUE))
    //             + sum(pweibull(pmax(rc - g, 0), m, eta, lower.tail = FALSE, log.p = TRUE))
    //             + sum(log(pweibull(pmax(hi - g, 0), m, eta) - pweibull(pmax(lo - g, 0), m, eta))))
    //   over the exact values ex, right-censored rc and intervals (lo, hi] of salinity; p = (m, eta, g).
    expectFit(a.threeParameter.fit, 1.3929826430027044, 24.517473085975126, 10.584794380559146, -137.36806988373374);
}

TEST(WeibullFitReference, DataOverTwentyDecades)
{
    // R: survreg(Surv(c(1e-10, 1, 1e10), rep(1, 3)) ~ 1, dist = "weibull"). The smallest value is
    // 1e-20 of the largest, where ln(x / xRef) must not be formed as log1p of a difference near -1.
    LifeData data{{1e-10, 1, 1e10}, {1e-10, 1, 1e10}, {State::failure, State::failure, State::failure}, {1, 1, 1}};
    const Analysis a = analyse(data, ModelChoice::twoParameter);
    expectFit(a.twoParameter, 0.060582227744068, 11380.0543833464, 0, -13.1087056022523);
}

TEST(WeibullFitReference, DataOverSixHundredDecades)
{
    // mpmath 1.3 at 60 digits: the root of the profile equation by bisection on [0.001, 0.01],
    //   sum x^m ln x / sum x^m - 1/m - mean(ln x) = 0, x = 10^k for k = -300, -200, ..., 300; then
    //   eta = (sum x^m / 7)^(1/m) and the log-likelihood summed term by term.
    // 1e-300 / 1e300 underflows to 0, so the logarithms relative to the largest value are taken as
    // differences of logarithms there.
    LifeData data;
    for (int k = -300; k <= 300; k += 100) {
        const double t = std::pow(10.0, k);
        data.values.push_back(t);
        data.upper.push_back(t);
        data.states.push_back(State::failure);
        data.counts.push_back(1);
    }
    const Analysis a = analyse(data, ModelChoice::twoParameter);
    ASSERT_EQ(a.twoParameter.status, FitStatus::ok) << a.twoParameter.statusText;
    EXPECT_NEAR(a.twoParameter.m, 0.0024125763229428253127, 1e-13 * 0.0024125763229428253127);
    EXPECT_NEAR(a.twoParameter.eta, 3.1673939271068346085e99, 1e-12 * 3.1673939271068346085e99);
    EXPECT_NEAR(a.twoParameter.logLikelihood, -53.058618448630638986, 1e-12 * 53.06);
}

TEST(WeibullFit, NoMaximumIsSaidAndNoEstimateGiven)
{
    const struct {
        const char* file;
        FitStatus status;
        const char* text;
    } cases[] = {
        {"synthetic_rising_to_smallest.dat", FitStatus::noInteriorMaximum,
         "no interior maximum: the likelihood rises to the smallest failure"},
        {"synthetic_extreme_value.dat", FitStatus::noFiniteMaximum, "no finite maximum"},
    };
    for (const auto& c : cases) {
        const Analysis a = analyse(example(c.file));
        const ThreeParameterFit& three = a.threeParameter;
        EXPECT_EQ(three.fit.status, c.status) << c.file;
        EXPECT_EQ(three.fit.statusText, c.text);
        EXPECT_TRUE(std::isnan(three.fit.m) && std::isnan(three.fit.gamma) && std::isnan(three.fit.logLikelihood));
        EXPECT_EQ(a.twoParameter.status, FitStatus::ok);
        EXPECT_FALSE(a.likelihoodRatio.available);
        ASSERT_GT(three.profile.size(), 10u);
        for (std::size_t i = 1; i < three.profile.size(); ++i)
            EXPECT_LT(three.profile[i - 1].gamma, three.profile[i].gamma);
        // Both profiles are monotone: rising toward x1, or toward gamma far below zero.
        const bool risesToX1 = c.status == FitStatus::noInteriorMaximum;
        for (std::size_t i = 1; i < three.profile.size(); ++i)
            EXPECT_EQ(three.profile[i].logLikelihood > three.profile[i - 1].logLikelihood, risesToX1) << i;
    }
}

TEST(WeibullFit, NoStatusIsDecidedOnAProfileThatCouldNotBeEvaluated)
{
    // Failed before an inspection each, nothing more known: at no location has the likelihood a
    // two-parameter maximum (it approaches 0 as the distribution narrows), so nothing may be said
    // about where the profile rises.
    LifeData data;
    for (double high : {5, 8, 12, 3, 20, 9}) {
        data.values.push_back(0);
        data.upper.push_back(high);
        data.states.push_back(State::interval);
        data.counts.push_back(1);
    }
    const ThreeParameterFit three = analyse(data).threeParameter;
    EXPECT_EQ(three.fit.status, FitStatus::profileNotEvaluated);
    EXPECT_TRUE(std::isnan(three.fit.m) && std::isnan(three.fit.gamma));
    std::size_t missing = 0;
    for (const ProfilePoint& point : three.profile)
        missing += !std::isfinite(point.logLikelihood);
    ASSERT_GT(missing, three.profile.size() / 2);
    EXPECT_EQ(three.fit.statusText, "no estimate: the profile likelihood could not be evaluated at " +
                                        std::to_string(missing) + " of " + std::to_string(three.profile.size()) +
                                        " locations (no two-parameter maximum there)");
}

TEST(WeibullFit, DataThatCannotBeFitted)
{
    auto records = [](std::vector<double> values, std::vector<State> states) {
        LifeData data;
        data.values = data.upper = values;
        data.states = states;
        data.counts.assign(values.size(), 1);
        return data;
    };
    auto message = [](const LifeData& data, double gamma = 0) {
        try {
            AnalysisRequest request;
            request.gamma = gamma;
            analyseLifeData(data, request);
        } catch (const DataError& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    const State F = State::failure, S = State::suspension;
    EXPECT_EQ(message(records({1, 2, 3}, {S, S, S})), "no failures: the Weibull parameters cannot be estimated");
    EXPECT_EQ(message(records({2, 2, 3}, {F, F, S})),
              "only one distinct failure time: the Weibull parameters cannot be estimated");
    EXPECT_EQ(message(records({2, 3, 4}, {F, F, F}), 2), "the location 2 is not below the smallest failure time 2");

    // Two distinct failure times fit two parameters only.
    const Analysis a = analyse(records({2, 3, 3, 9}, {F, F, F, S}));
    EXPECT_EQ(a.twoParameter.status, FitStatus::ok);
    EXPECT_EQ(a.threeParameter.fit.status, FitStatus::tooFewFailures);
    EXPECT_EQ(a.threeParameter.fit.statusText, "too few failures");
}

TEST(WeibullLikelihood, DerivativesAgreeWithTheValues)
{
    // Every kind of term: a failure, suspensions above and below gamma, intervals from 0, from
    // below gamma and from above it, with counts.
    LifeData data{{3, 7, 1, 0, 2, 6}, {3, 7, 1, 4, 5, 9},
                  {State::failure, State::suspension, State::suspension, State::interval, State::interval,
                   State::interval},
                  {2, 1, 3, 1, 2, 1}};
    const PreparedData prepared = prepareLifeData(data);
    const double p0[3] = {std::log(1.7), std::log(5.5), 1.5};
    auto at = [&](const double p[3], int order) {
        return evaluateLikelihood(prepared, std::exp(p[0]), std::exp(p[1]), p[2], order, FitSettings{1});
    };
    const LikelihoodDerivatives d = at(p0, 2);
    for (int i = 0; i < 3; ++i) {
        const double h = 1e-5;
        double up[3] = {p0[0], p0[1], p0[2]}, down[3] = {p0[0], p0[1], p0[2]};
        up[i] += h;
        down[i] -= h;
        EXPECT_NEAR(d.gradient[i], (at(up, 0).value - at(down, 0).value) / (2 * h), 1e-7) << i;
        const LikelihoodDerivatives gUp = at(up, 1), gDown = at(down, 1);
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(d.hessian[i][j], (gUp.gradient[j] - gDown.gradient[j]) / (2 * h), 1e-6) << i << j;
    }
}

// Records drawn with a fixed seed: times in file order, about a third of them suspensions (and
// some intervals when asked), many of them repeated.
LifeData syntheticData(std::size_t n, bool intervals)
{
    std::mt19937_64 random(12);
    std::weibull_distribution<double> life(1.8, 1000);
    LifeData data;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = std::round(life(random) * 10) / 10 + 50;
        const int kind = static_cast<int>(random() % 6);
        State state = kind < 2 ? State::suspension : State::failure;
        double low = t;
        if (intervals && kind == 2) {
            state = State::interval;
            low = std::floor(t / 100) * 100;
        }
        data.values.push_back(low);
        data.upper.push_back(t);
        data.states.push_back(state);
        data.counts.push_back(1);
    }
    return data;
}

void expectSameBits(const WeibullFit& a, const WeibullFit& b)
{
    EXPECT_EQ(a.status, b.status);
    for (auto [x, y] : {std::pair{a.m, b.m}, {a.eta, b.eta}, {a.gamma, b.gamma}, {a.logLikelihood, b.logLikelihood}})
        EXPECT_EQ(std::memcmp(&x, &y, sizeof x), 0) << x << " " << y;
}

TEST(WeibullFit, CountsGiveTheSameBitsAsTheRecordsWrittenOut)
{
    // The salinity data repeats many records; written with counts they are fewer lines.
    const LifeData lines = example("salinity_intervals.dat");
    LifeData counted;
    for (std::size_t i = 0; i < lines.values.size(); ++i) {
        std::size_t k = 0;
        while (k < counted.values.size() && !(counted.values[k] == lines.values[i] &&
                                               counted.upper[k] == lines.upper[i] && counted.states[k] == lines.states[i]))
            ++k;
        if (k == counted.values.size()) {
            counted.values.push_back(lines.values[i]);
            counted.upper.push_back(lines.upper[i]);
            counted.states.push_back(lines.states[i]);
            counted.counts.push_back(0);
        }
        ++counted.counts[k];
    }
    ASSERT_LT(counted.values.size(), lines.values.size());
    const Analysis a = analyse(lines), b = analyse(counted);
    expectSameBits(a.twoParameter, b.twoParameter);
    expectSameBits(a.threeParameter.fit, b.threeParameter.fit);
    EXPECT_EQ(a.data.units, b.data.units);
}

TEST(WeibullFit, ThreadsNeverChangeAResult)
{
    const LifeData censored = syntheticData(60000, false);
    const LifeData withIntervals = syntheticData(40000, true);
    const Analysis one = analyse(censored, ModelChoice::both, 1);
    const Analysis oneIntervals = analyse(withIntervals, ModelChoice::twoParameter, 1);
    ASSERT_EQ(one.twoParameter.status, FitStatus::ok);
    ASSERT_EQ(oneIntervals.twoParameter.status, FitStatus::ok);
    for (unsigned threads : {2u, 3u}) {
        const Analysis many = analyse(censored, ModelChoice::both, threads);
        expectSameBits(one.twoParameter, many.twoParameter);
        expectSameBits(one.threeParameter.fit, many.threeParameter.fit);
        expectSameBits(oneIntervals.twoParameter, analyse(withIntervals, ModelChoice::twoParameter, threads).twoParameter);
    }
}

} // namespace

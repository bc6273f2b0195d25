// The general fits against independent tools on published data: R's survreg for the location-scale
// families, a tightly converged profile for the three-parameter lognormal, fitdistrplus refined
// further for the gamma; the location searches' statuses on constructed data; and the bits that must
// not change with counts written line by line or with the number of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "distribution.h"
#include "distribution_fit.h"
#include "life_data_file.h"
#include "life_data_builders.h"

using namespace lifedata;

namespace {

PreparedData example(const char* name)
{
    return prepareLifeData(readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/" + name));
}

DistributionFit fit(const char* name, const PreparedData& data, unsigned threads = 0)
{
    const auto distribution = makeDistribution(name);
    EXPECT_TRUE(distribution) << name;
    return fitDistribution(*distribution, data, {threads, nullptr});
}

void expectRelative(double actual, double reference, double tolerance, const std::string& what)
{
    EXPECT_NEAR(actual, reference, tolerance * std::fabs(reference)) << what;
}

} // namespace

// survreg(Surv(l, r, type = "interval2") ~ 1, dist = DIST,
//         control = survreg.control(rel.tolerance = 1e-13, maxiter = 200))
// with an exact time as (t, t), a suspension as (t, NA), an interval as (a, b) and one from 0 as
// (NA, b). survreg's intercept and scale are mu and sigma of lognormal, ln mean of exponential,
// ln alpha and 1/beta of loglogistic, mean and sd of gaussian, and mu and sigma of the sev through
// "extreme" on t itself.
TEST(DistributionFit, AgreesWithSurvreg)
{
    const struct {
        const char* file;
        const char* name;
        double first, second; // the parameters as reported
        double logLikelihood;
    } references[] = {
        {"ovarian_suspensions.dat", "lognormal2", 6.7721098585910564, 1.2657709276196651, -97.121742042655455},
        {"ovarian_suspensions.dat", "exponential1", std::exp(7.1693500166705997), NAN, -98.0322002000472},
        {"ovarian_suspensions.dat", "loglogistic", std::exp(6.7307231642920513), 1 / 0.72675700490528161,
         -97.354704484227014},
        {"ovarian_suspensions.dat", "normal", 863.12069621679223, 568.77322516350523, -102.38234547681348},
        {"ovarian_suspensions.dat", "sev", 1095.9633512767282, 487.38801172896291, -104.60229240019336},
        {"salinity_intervals.dat", "lognormal2", 3.3853709904092457, 0.49613804193914079, -139.05495585180384},
        {"salinity_intervals.dat", "exponential1", std::exp(3.8575594722683881), NAN, -163.38195683831142},
        {"salinity_intervals.dat", "loglogistic", std::exp(3.3989343245111274), 1 / 0.29235709464556719,
         -140.07165709327046},
        {"salinity_intervals.dat", "normal", 31.575718313655901, 12.400660485603943, -141.23981624033914},
        {"salinity_intervals.dat", "sev", 37.721794080932305, 10.574551542143881, -146.32968726578991},
    };
    for (const auto& r : references) {
        const std::string what = std::string(r.file) + " " + r.name;
        const DistributionFit f = fit(r.name, example(r.file));
        ASSERT_EQ(f.status, FitStatus::ok) << what << ": " << f.statusText;
        EXPECT_EQ(f.name, r.name);
        expectRelative(f.parameters[0], r.first, 1e-7, what);
        if (!std::isnan(r.second))
            expectRelative(f.parameters[1], r.second, 1e-7, what);
        expectRelative(f.logLikelihood, r.logLikelihood, 1e-7, what);
    }
}

// The lognormal's location against the root of the profile's slope: survreg(dist = "lognormal") on
// t - gamma with rel.tolerance = 1e-15 for mu and sigma at each gamma, and uniroot(tol = 1e-15) on
// d lp/d gamma = sum over failures of 1/x + z/(sigma x) plus over suspensions of h(z)/(sigma x),
// z = (ln x - mu)/sigma, h the normal hazard. The maximum of lp's values alone would be flat to 4e-6.
TEST(DistributionFit, LognormalLocationAgreesWithTheProfilesRoot)
{
    const struct {
        const char* file;
        double mu, sigma, gamma, logLikelihood;
    } references[] = {
        {"ovarian_suspensions.dat", 6.7823526965246392, 1.5689015303056415, 38.610433597958419, -96.915193117833368},
        {"ball_bearings.dat", 4.3211683798828329, 0.43770829002617251, -10.517085212815241, -113.01979931620426},
    };
    for (const auto& r : references) {
        const DistributionFit f = fit("lognormal3", example(r.file));
        ASSERT_EQ(f.status, FitStatus::ok) << r.file << ": " << f.statusText;
        expectRelative(f.parameters[0], r.mu, 1e-9, r.file);
        expectRelative(f.parameters[1], r.sigma, 1e-9, r.file);
        expectRelative(f.parameters[2], r.gamma, 1e-9, r.file);
        expectRelative(f.logLikelihood, r.logLikelihood, 1e-12, r.file);
        EXPECT_FALSE(f.profile.empty());
    }
}

namespace {

// n failures at the plotting positions' quantiles of a distribution.
PreparedData quantileSample(int n, double (*quantile)(double))
{
    LifeData data;
    for (int i = 1; i <= n; ++i) {
        const double t = quantile((i - 0.3) / (n + 0.4));
        data.values.push_back(t);
        data.upper.push_back(t);
        data.states.push_back(State::failure);
        data.counts.push_back(1);
    }
    return prepareLifeData(data);
}

} // namespace

// A left-skewed sample (smallest extreme values) wants its location ever further down; a J-shaped
// one (a Weibull of shape 0.4 above 10) rises all the way to its smallest failure.
TEST(DistributionFit, LognormalLocationWithoutMaximumSaysWhy)
{
    const PreparedData leftSkewed =
        quantileSample(20, [](double P) { return 300 + 50 * std::log(-std::log1p(-P)); });
    const DistributionFit falling = fit("lognormal3", leftSkewed);
    EXPECT_EQ(falling.status, FitStatus::noFiniteMaximum) << falling.statusText;
    EXPECT_TRUE(std::isnan(falling.parameters[0]) && std::isnan(falling.logLikelihood));

    const PreparedData jShaped =
        quantileSample(20, [](double P) { return 10 + 30 * std::pow(-std::log1p(-P), 1 / 0.4); });
    const DistributionFit rising = fit("lognormal3", jShaped);
    EXPECT_EQ(rising.status, FitStatus::noInteriorMaximum) << rising.statusText;
    EXPECT_EQ(rising.statusText, "no interior maximum: the likelihood rises to the smallest failure");
}

// Failures and suspensions: the location at x1 = 59 with mean = sum (t - x1) / r and log-likelihood
// -r ln mean - r. Intervals: inside, against survreg(dist = "exponential") on t - gamma (an interval
// reaching below gamma left-censored) and uniroot(tol = 1e-15) on d lp/d gamma = (units not reaching
// below gamma - sum over those that do of e/(1 - e), e = exp(-(b - gamma)/mean)) / mean.
TEST(DistributionFit, ExponentialLocationAtOrBelowTheSmallestFailure)
{
    const DistributionFit boundary = fit("exponential2", example("ovarian_suspensions.dat"));
    ASSERT_EQ(boundary.status, FitStatus::locationAtSmallestFailure);
    EXPECT_EQ(boundary.statusText, "location at the smallest failure");
    EXPECT_TRUE(boundary.locationOnBoundary);
    EXPECT_EQ(boundary.parameters[1], 59);
    expectRelative(boundary.parameters[0], 1171.1666666666667, 1e-13, "mean");
    expectRelative(boundary.logLikelihood, -96.789068183569725, 1e-13, "log-likelihood");
    expectRelative(boundary.hessian[0][0], -12, 1e-12, "information in ln mean: r");

    const DistributionFit inside = fit("exponential2", example("salinity_intervals.dat"));
    ASSERT_EQ(inside.status, FitStatus::ok) << inside.statusText;
    EXPECT_FALSE(inside.locationOnBoundary);
    expectRelative(inside.parameters[0], 23.369947581518844, 1e-9, "mean");
    expectRelative(inside.parameters[1], 12.189216499098096, 1e-9, "gamma");
    expectRelative(inside.logLikelihood, -138.03988176133549, 1e-12, "log-likelihood");
}

TEST(DistributionFit, TooFewFailuresIsAStatusNotAnError)
{
    const PreparedData one = quantileSample(1, [](double) { return 5.0; });
    const DistributionFit f = fit("lognormal2", one);
    EXPECT_EQ(f.status, FitStatus::tooFewFailures);
    EXPECT_EQ(f.parameters.size(), 2u);
    EXPECT_TRUE(std::isnan(f.parameters[1]));
    EXPECT_EQ(fit("exponential1", one).status, FitStatus::ok);
}

// fitdistrplus::fitdistcens(data.frame(left, right), "gamma") (ovarian in thousands of days: it fails
// on days) stops 2-4e-7 short of the maximum; refined by optim(method = "BFGS", reltol = 1e-15) on the
// censored log-likelihood in (ln k, ln theta) and then by Newton's method on numDeriv's grad() and
// hessian() of it, to a score below 4e-9.
TEST(DistributionFit, GammaAgreesWithARefinedFitdistcens)
{
    const struct {
        const char* file;
        double k, theta, logLikelihood;
    } references[] = {
        {"ovarian_suspensions.dat", 1.2293331483986543, 947.71799169936367, -97.863797234257859},
        {"salinity_intervals.dat", 4.9172856281576385, 6.5771372561286556, -138.77627735362432},
    };
    for (const auto& r : references) {
        const DistributionFit f = fit("gamma", example(r.file));
        ASSERT_EQ(f.status, FitStatus::ok) << r.file << ": " << f.statusText;
        expectRelative(f.parameters[0], r.k, 1e-8, r.file);
        expectRelative(f.parameters[1], r.theta, 1e-8, r.file);
        expectRelative(f.logLikelihood, r.logLikelihood, 1e-13, r.file);
    }
}

// Enough records for the helper threads and for the location's scan on a sample: a count and the
// same units line by line, and 1 and 3 threads, give the same fits to the bit.
TEST(DistributionFit, SameBitsForCountsAndForThreads)
{
    std::mt19937_64 random(7);
    std::weibull_distribution<double> life(1.8, 300);
    LifeData counted, lines;
    for (int i = 0; i < 17000; ++i) {
        const double t = 40 + std::round(life(random) * 100) / 100;
        const State state = i % 3 == 0 ? State::suspension : (i % 11 == 0 ? State::interval : State::failure);
        const double low = state == State::interval ? std::floor(t / 25) * 25 : t;
        const double high = state == State::interval ? low + 25 : t;
        const std::uint32_t count = 1 + static_cast<std::uint32_t>(i % 2);
        addRecord(counted, low, high, state, count);
        for (std::uint32_t u = 0; u < count; ++u)
            addRecord(lines, low, high, state, 1);
    }
    const PreparedData countedData = prepareLifeData(counted), lineData = prepareLifeData(lines);
    for (const char* name : {"lognormal3", "gamma", "exponential2"}) {
        SCOPED_TRACE(name);
        const DistributionFit one = fit(name, countedData, 1);
        ASSERT_TRUE(one.status == FitStatus::ok || one.status == FitStatus::locationAtSmallestFailure) << one.statusText;
        for (const DistributionFit& other : {fit(name, countedData, 3), fit(name, lineData, 3)}) {
            EXPECT_EQ(other.status, one.status);
            EXPECT_EQ(std::memcmp(other.p.data(), one.p.data(), one.p.size() * sizeof(double)), 0);
            EXPECT_EQ(std::memcmp(&other.logLikelihood, &one.logLikelihood, sizeof(double)), 0);
            EXPECT_EQ(std::memcmp(other.hessian, one.hessian, sizeof one.hessian), 0);
        }
    }
}

// The Weibull families through the general path (for the mixture, the accelerated models and the
// plots) reach the maxima of the Weibull's own fits.
TEST(DistributionFit, WeibullThroughTheGeneralPathAgreesWithItsOwnFits)
{
    for (const char* file : {"ovarian_suspensions.dat", "salinity_intervals.dat"}) {
        const PreparedData data = example(file);
        const WeibullFit own = fitTwoParameter(data, 0, {});
        const DistributionFit general = fit("weibull2", data);
        ASSERT_EQ(general.status, FitStatus::ok) << file;
        expectRelative(general.parameters[0], own.m, 1e-11, file);
        expectRelative(general.parameters[1], own.eta, 1e-11, file);
        expectRelative(general.logLikelihood, own.logLikelihood, 1e-13, file);
    }
    const PreparedData bearings = example("ball_bearings.dat");
    const WeibullFit own = fitThreeParameter(bearings, {}).fit;
    const DistributionFit general = fit("weibull3", bearings);
    ASSERT_EQ(general.status, FitStatus::ok);
    expectRelative(general.parameters[0], own.m, 1e-9, "m");
    expectRelative(general.parameters[2], own.gamma, 1e-9, "gamma");
    expectRelative(general.logLikelihood, own.logLikelihood, 1e-13, "log-likelihood");
    EXPECT_EQ(fit("weibull3", example("ovarian_suspensions.dat")).status, FitStatus::noInteriorMaximum);
}

// Three intervals (9, 11] below failures from 10 on: the exponential's profile rises until its
// location reaches their lower end 9, where they turn into F(11), and falls beyond. The maximum
// is that kink, where Newton's method cannot settle. At gamma = 9 the mean solves
// -5/mean + 42/mean^2 - 3 (2/mean^2) e/(1 - e) = 0, e = exp(-2/mean), by bisection in Python.
TEST(DistributionFit, ExponentialLocationOnAKinkOfItsProfile)
{
    LifeData data;
    for (double t : {10.0, 12.0, 15.0, 20.0, 30.0}) {
        data.values.push_back(t);
        data.upper.push_back(t);
        data.states.push_back(State::failure);
        data.counts.push_back(1);
    }
    data.values.push_back(9);
    data.upper.push_back(11);
    data.states.push_back(State::interval);
    data.counts.push_back(3);
    const DistributionFit f = fit("exponential2", prepareLifeData(data));
    ASSERT_EQ(f.status, FitStatus::ok) << f.statusText;
    expectRelative(f.parameters[1], 9, 1e-12, "gamma");
    expectRelative(f.parameters[0], 5.60273671377246, 1e-10, "mean");
    expectRelative(f.logLikelihood, -19.72247761011603, 1e-13, "log-likelihood");
}

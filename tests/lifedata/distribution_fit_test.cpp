// The general fits against independent tools on published data: R's survreg for the location-scale
// families, a tightly converged profile for the three-parameter lognormal, fitdistrplus refined
// further for the gamma; the location searches' statuses on constructed data; and the bits that must
// not change with counts written line by line or with the number of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "distribution.h"
#include "distribution_fit.h"
#include "life_data_file.h"

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

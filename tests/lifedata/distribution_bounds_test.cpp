// Bounds of the distributions fitted through the general interface: Fisher bounds against survreg's
// covariance and its standard errors of quantiles, likelihood-ratio bounds against profiles computed
// in R, and the ranking order. The R calls that made the numbers are beside them; the estimates are
// survreg's (rel.tolerance 1e-14), so that the bounds are compared at the same point.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "distribution_inference.h"
#include "distribution_likelihood.h"
#include "distribution_ranking.h"
#include "life_data_file.h"
#include "normal_quantile.h"

using namespace lifedata;

namespace {

void expectRelative(double actual, double reference, double tolerance, const std::string& what)
{
    EXPECT_NEAR(actual, reference, tolerance * std::fabs(reference)) << what;
}

InferenceRequest request(BoundsChoice bounds)
{
    return {0.95, {1, 10}, {500}, bounds, 0, 1, 1, nullptr};
}

// An example's data with one family at survreg's estimate p (the ovarian data unless named).
struct ExampleFit {
    std::unique_ptr<Distribution> distribution;
    PreparedData data;
    std::unique_ptr<ChunkedWork> work = makeWork(data, FitSettings{1});
    DistributionLikelihood likelihood;
    DistributionEstimate estimate;

    ExampleFit(const char* name, double p0, double p1, const char* file = "ovarian_suspensions.dat")
        : distribution(makeDistribution(name)),
          data(prepareLifeData(readLifeDataFile(std::string(VARNEL_EXAMPLES "/") + file))),
          likelihood(*distribution, data, *work)
    {
        estimate.context = {distribution.get(), false, smallestFailure(data)};
        estimate.p[0] = p0;
        estimate.p[1] = p1;
        estimate.logLikelihood = likelihood.evaluate(estimate.p, 0).value;
    }
    DistributionInference infer(BoundsChoice bounds) { return inferDistribution(estimate, likelihood, request(bounds)); }
};

const double z = normalQuantile(0.975);

} // namespace

// library(survival); d <- read.table("ovarian_suspensions.dat", header=TRUE)
// f <- survreg(Surv(time, state == "F") ~ 1, dist="lognormal", control=survreg.control(rel.tolerance=1e-14))
// coef(f) 6.772109858591139, log(f$scale) 0.23568136550147167, f$loglik -97.12174204265547
// vcov(f): 0.102084646823007802, 0.035148213737290476, 0.051805009633384899
// predict(f, type="quantile", p=c(0.01, 0.1), se.fit=TRUE): 45.946898631238007 172.42444571691456,
//   se 26.959493221460544 60.807809248630413
// u = (log(500) - mu)/sigma -0.44044443430007368, se(u) from vcov 0.22204785093556459
TEST(DistributionBounds, LognormalFisherBoundsAreSurvregs)
{
    ExampleFit fit("lognormal2", 6.772109858591139, 0.23568136550147167);
    expectRelative(fit.estimate.logLikelihood, -97.12174204265547, 1e-12, "log-likelihood");
    const DistributionInference inference = fit.infer(BoundsChoice::fisher);
    ASSERT_TRUE(inference.fisherNote.empty());
    const double mu = 6.772109858591139;
    const double seMu = std::sqrt(0.102084646823007802);
    const double lnSigma = 0.23568136550147167;
    const double seLnSigma = std::sqrt(0.051805009633384899);
    expectRelative(inference.parameters[0].fisher.lower.value, mu - z * seMu, 1e-7, "mu lower");
    expectRelative(inference.parameters[0].fisher.upper.value, mu + z * seMu, 1e-7, "mu upper");
    expectRelative(inference.parameters[1].fisher.lower.value, std::exp(lnSigma - z * seLnSigma), 1e-7, "sigma lower");
    expectRelative(inference.parameters[1].fisher.upper.value, std::exp(lnSigma + z * seLnSigma), 1e-7, "sigma upper");
    // On the log scale of the B-life: se(ln t) = se(t) / t.
    const double b10 = 172.42444571691456;
    const double seB10 = 60.807809248630413 / b10;
    expectRelative(inference.bLives[1].bounds.estimate, b10, 1e-10, "B10");
    expectRelative(inference.bLives[1].bounds.fisher.lower.value, b10 * std::exp(-z * seB10), 1e-7, "B10 lower");
    expectRelative(inference.bLives[1].bounds.fisher.upper.value, b10 * std::exp(z * seB10), 1e-7, "B10 upper");
    const double b1 = 45.946898631238007;
    expectRelative(inference.bLives[0].bounds.fisher.upper.value, b1 * std::exp(z * 26.959493221460544 / b1), 1e-7,
                   "B1 upper");
    // R = 1 - Phi(u) on the standard variable: the lower bound is at u + z se(u).
    const double u = -0.44044443430007368;
    const double seU = 0.22204785093556459;
    const QuantityBounds& r = inference.reliability[0].bounds;
    expectRelative(r.fisher.lower.value, 1 - normalDistribution(u + z * seU), 1e-7, "R(500) lower");
    expectRelative(r.fisher.upper.value, 1 - normalDistribution(u - z * seU), 1e-7, "R(500) upper");
    EXPECT_FALSE(r.hasLikelihoodRatio);
}

// The profiles in R, with ll(mu, ls) the censored lognormal log-likelihood written out, lmax = ll at
// the estimate and crit = qchisq(0.95, 1)/2; each side by uniroot(tol=1e-14) of the profile minus
// (lmax - crit), the profile by optimize(tol=1e-13) over the other coordinate:
//   sigma: optimize over mu of ll(mu, ls)           -> 0.85408669292198991 .. 2.1136185894851676
//   mu: optimize over ls                            -> 6.2270041673104801 .. 7.6166605659184263
//   B10 = exp(lt): ll(lt - exp(ls) qnorm(0.1), ls)  -> 66.702464721374469 .. 307.19674749737595
//   R(500) = 1 - pnorm(u): ll(log(500) - exp(ls) u, ls) -> 0.50407135647652623 .. 0.81099055518344398
TEST(DistributionBounds, LognormalLikelihoodRatioBoundsAreRsProfiles)
{
    ExampleFit fit("lognormal2", 6.772109858591139, 0.23568136550147167);
    const DistributionInference inference = fit.infer(BoundsChoice::likelihoodRatio);
    auto expectSides = [](const QuantityBounds& q, double lower, double upper, const char* what) {
        ASSERT_TRUE(q.hasLikelihoodRatio) << what;
        EXPECT_FALSE(q.hasFisher) << what;
        EXPECT_TRUE(q.likelihoodRatio.lower.text.empty() && q.likelihoodRatio.upper.text.empty()) << what;
        expectRelative(q.likelihoodRatio.lower.value, lower, 1e-7, std::string(what) + " lower");
        expectRelative(q.likelihoodRatio.upper.value, upper, 1e-7, std::string(what) + " upper");
    };
    expectSides(inference.parameters[0], 6.2270041673104801, 7.6166605659184263, "mu");
    expectSides(inference.parameters[1], 0.85408669292198991, 2.1136185894851676, "sigma");
    expectSides(inference.bLives[1].bounds, 66.702464721374469, 307.19674749737595, "B10");
    expectSides(inference.reliability[0].bounds, 0.50407135647652623, 0.81099055518344398, "R(500)");
}

// f <- survreg(Surv(time, state == "F") ~ 1, dist="loglogistic", control=survreg.control(rel.tolerance=1e-14))
// coef(f) 6.7307231642919483 = ln alpha, log(f$scale) -0.31916310091692679 = -ln beta
// vcov(f): 0.086766261322318572, 0.028402624219212923, 0.062893050238265899
// predict(type="quantile", p=0.1, se.fit=TRUE): 169.67329796006041, se 67.107759284033236
TEST(DistributionBounds, LoglogisticFisherBoundsAreSurvregs)
{
    ExampleFit fit("loglogistic", 6.7307231642919483, 0.31916310091692679);
    expectRelative(fit.estimate.logLikelihood, -97.354704484227, 1e-12, "log-likelihood");
    const DistributionInference inference = fit.infer(BoundsChoice::fisher);
    const double seLnAlpha = std::sqrt(0.086766261322318572);
    const double seLnBeta = std::sqrt(0.062893050238265899);
    expectRelative(inference.parameters[0].fisher.upper.value, std::exp(6.7307231642919483 + z * seLnAlpha), 1e-7,
                   "alpha upper");
    expectRelative(inference.parameters[1].fisher.lower.value, std::exp(0.31916310091692679 - z * seLnBeta), 1e-7,
                   "beta lower");
    const double b10 = 169.67329796006041;
    const double se = 67.107759284033236 / b10;
    expectRelative(inference.bLives[1].bounds.estimate, b10, 1e-10, "B10");
    expectRelative(inference.bLives[1].bounds.fisher.lower.value, b10 * std::exp(-z * se), 1e-7, "B10 lower");
    expectRelative(inference.bLives[1].bounds.fisher.upper.value, b10 * std::exp(z * se), 1e-7, "B10 upper");
}

// survreg(Surv(time, state == "F") ~ 1, dist="gaussian", control=survreg.control(rel.tolerance=1e-14))
// coef 863.12069621711203, log(scale) 6.3434818048841173; predict(type="quantile", p=c(0.01, 0.1),
// se.fit=TRUE): -460.04368695386961 134.20847906868983, se 265.62412265586897 159.62778627232927.
// A normal B-life may be negative: its bounds are t +- z se(t).
TEST(DistributionBounds, NormalBLivesAreLinearAsSurvregs)
{
    ExampleFit fit("normal", 863.12069621711203, 6.3434818048841173);
    const DistributionInference inference = fit.infer(BoundsChoice::fisher);
    const double b1 = -460.04368695386961;
    expectRelative(inference.bLives[0].bounds.estimate, b1, 1e-10, "B1");
    expectRelative(inference.bLives[0].bounds.fisher.lower.value, b1 - z * 265.62412265586897, 1e-7, "B1 lower");
    expectRelative(inference.bLives[0].bounds.fisher.upper.value, b1 + z * 265.62412265586897, 1e-7, "B1 upper");
    const double b10 = 134.20847906868983;
    expectRelative(inference.bLives[1].bounds.fisher.lower.value, b10 - z * 159.62778627232927, 1e-7, "B10 lower");
}

// Intervals: g <- survreg(Surv(lo, hi, type="interval2") ~ 1, dist="lognormal", control=...) on the
// salinity records (exact values lo = hi, suspensions hi = NA): mu 3.3853709904092457,
// log(sigma) -0.70090108061718304, loglik -139.05495585180384. The profiles as for the ovarian data,
// ll with ln(plnorm(hi) - plnorm(lo)) for an interval:
//   sigma 0.40512258786226674 .. 0.6244399053886176, B10 13.08178843859894 .. 18.02568735242664
TEST(DistributionBounds, LognormalLikelihoodRatioBoundsOfIntervalsAreRsProfiles)
{
    ExampleFit fit("lognormal2", 3.3853709904092457, -0.70090108061718304, "salinity_intervals.dat");
    expectRelative(fit.estimate.logLikelihood, -139.05495585180384, 1e-12, "log-likelihood");
    const DistributionInference inference = fit.infer(BoundsChoice::likelihoodRatio);
    const ConfidenceInterval& sigma = inference.parameters[1].likelihoodRatio;
    expectRelative(sigma.lower.value, 0.40512258786226674, 1e-7, "sigma lower");
    expectRelative(sigma.upper.value, 0.6244399053886176, 1e-7, "sigma upper");
    const ConfidenceInterval& b10 = inference.bLives[1].bounds.likelihoodRatio;
    expectRelative(b10.lower.value, 13.08178843859894, 1e-7, "B10 lower");
    expectRelative(b10.upper.value, 18.02568735242664, 1e-7, "B10 upper");
}

// AICc first, then BIC, then the name; NaN AICc after every number; no estimate last, unranked.
TEST(DistributionRanking, OrdersByAiccThenBicThenNameWithUnestimatedLast)
{
    const double nan = std::nan("");
    const std::vector<RankingEntry> entries = {
        {"gamma", false, nan, nan},        {"sev", true, 210.5, 214.0},   {"normal", true, 200.0, 205.0},
        {"lognormal2", true, 200.0, 204.0}, {"weibull2", true, 200.0, 204.0}, {"exponential1", true, nan, 199.0},
        {"loglogistic", false, nan, nan},
    };
    const std::vector<std::size_t> order = rankOrder(entries);
    std::vector<std::string> names;
    for (std::size_t i : order)
        names.push_back(entries[i].name);
    EXPECT_EQ(names, (std::vector<std::string>{"lognormal2", "weibull2", "normal", "sev", "exponential1", "gamma",
                                                "loglogistic"}));
}

// What every maximum-likelihood fit gives beyond its estimate: the covariance and standard errors,
// the information criteria, the fitted distribution's summary and the reduced-bias shape, against
// R's survreg and mpmath, and what they must equal elsewhere in the program.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "analysis_json.h"
#include "information_criteria.h"
#include "life_analysis.h"
#include "life_data_file.h"
#include "normal_quantile.h"
#include "reduced_bias_shape.h"
#include "weibull_moments.h"

using namespace lifedata;

namespace {

LifeData example(const char* name) { return readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/" + name); }

void expectRelative(double actual, double reference, double tolerance, const char* what)
{
    EXPECT_NEAR(actual, reference, tolerance * std::fabs(reference)) << what;
}

// R 4.2, survival 3.4, with the control of the fit references:
//   f <- survreg(Surv(t, status) ~ 1, dist = "weibull",
//                control = survreg.control(rel.tolerance = 1e-14, toler.chol = 1e-15, iter.max = 200))
//   AIC(f); BIC(f)   (nobs(f) = the units)
//   m <- 1 / f$scale; eta <- exp(coef(f)); J <- matrix(c(0, eta, -m, 0), 2, 2)
//   J %*% vcov(f) %*% t(J)   (vcov in (ln eta, ln scale), ln scale = -ln m)
struct SurvregReference {
    const char* file;
    double aic, bic;
    double mm, mEta, etaEta;
    double units;
};

TEST(FitSummary, CovarianceAndCriteriaAgreeWithSurvreg)
{
    const SurvregReference references[] = {
        {"ball_bearings.dat", 231.38258186464029, 233.65357029649857, 0.10803515249297971, 0.92976183262456769,
         73.967666763217608, 23},
        {"ovarian_suspensions.dat", 199.90780209426154, 202.42399517030449, 0.078966147653487778,
         -45.964973385782777, 128676.01142878132, 26},
    };
    for (const SurvregReference& r : references) {
        AnalysisRequest request;
        request.model = ModelChoice::twoParameter;
        const ModelInference i = analyseLifeData(example(r.file), request).twoParameterInference;
        ASSERT_EQ(i.covarianceSize, 2) << r.file;
        expectRelative(i.covariance[0][0], r.mm, 1e-9, r.file);
        expectRelative(i.covariance[0][1], r.mEta, 1e-9, r.file);
        expectRelative(i.covariance[1][0], r.mEta, 1e-9, r.file);
        expectRelative(i.covariance[1][1], r.etaEta, 1e-9, r.file);
        expectRelative(i.criteria.aic, r.aic, 1e-13, r.file);
        expectRelative(i.criteria.bic, r.bic, 1e-13, r.file);
        // AICc = AIC + 2k(k + 1)/(n - k - 1), by hand from R's AIC.
        expectRelative(i.criteria.aicc, r.aic + 12 / (r.units - 3), 1e-13, r.file);
    }
}

TEST(FitSummary, StandardErrorsAreTheFisherBoundsOnes)
{
    // The Fisher bounds of m are exp(ln m +- z se(ln m)), and se(m) = m se(ln m): the same matrix.
    AnalysisRequest request;
    request.bounds = BoundsChoice::fisher;
    const Analysis a = analyseLifeData(example("ball_bearings.dat"), request);
    const double z = normalQuantile(0.975);
    for (const ModelInference* i : {&a.twoParameterInference, &a.threeParameterInference}) {
        ASSERT_EQ(i->covarianceSize, i->threeParameter ? 3 : 2);
        const double seOfLogM = std::log(i->m.fisher.upper.value / i->m.fisher.lower.value) / (2 * z);
        expectRelative(std::sqrt(i->covariance[0][0]), i->m.estimate * seOfLogM, 1e-12, "se(m)");
        for (int r = 0; r < i->covarianceSize; ++r) {
            for (int c = 0; c < i->covarianceSize; ++c)
                EXPECT_EQ(i->covariance[r][c], i->covariance[c][r]);
        }
    }
    const ModelInference& three = a.threeParameterInference;
    expectRelative(std::sqrt(three.covariance[2][2]) * z, three.gamma.estimate - three.gamma.fisher.lower.value, 1e-12,
                   "se(gamma)");
    // Three parameters: k = 3.
    expectRelative(three.criteria.aic, 6 - 2 * a.threeParameter.fit.logLikelihood, 1e-15, "AIC 3P");
}

TEST(FitSummary, AiccHasNoValueForTooFewUnits)
{
    const InformationCriteria three = informationCriteria(-5, 2, 3);
    EXPECT_TRUE(std::isnan(three.aicc));
    EXPECT_EQ(three.aic, 14);
    EXPECT_EQ(three.bic, 2 * std::log(3.0) + 10);
    EXPECT_EQ(informationCriteria(-5, 2, 4).aicc, 14 + 12);
}

TEST(FitSummary, DistributionSummaryAgainstMpmath)
{
    // mpmath, 40 digits, at R's ball-bearing estimate m = 2.1020588751946208, eta = 81.878334051631541:
    // eta gamma(1 + 1/m), eta ln(2)^(1/m), eta ((m - 1)/m)^(1/m), eta^2 (gamma(1 + 2/m) - gamma(1 + 1/m)^2).
    const DistributionSummary s = weibullSummary(2.1020588751946208, 81.878334051631541, 0);
    expectRelative(s.mean, 72.518651775607852606, 1e-14, "mean");
    expectRelative(s.median, 68.777413348723380535, 1e-14, "median");
    expectRelative(s.mode, 60.222239568099464908, 1e-14, "mode");
    expectRelative(s.variance, 1313.9413204321962165, 1e-13, "variance");
    // A location shifts all but the variance; for m <= 1 the density is highest at the location.
    const DistributionSummary shifted = weibullSummary(2.1020588751946208, 81.878334051631541, 10);
    EXPECT_EQ(shifted.mean, 10 + (s.mean - 0));
    EXPECT_EQ(shifted.variance, s.variance);
    EXPECT_EQ(weibullSummary(1, 5, 3).mode, 3);
    EXPECT_EQ(weibullSummary(0.5, 5, 3).mode, 3);
    EXPECT_EQ(weibullSummary(1, 5, 3).mean, 8); // the exponential distribution
}

TEST(FitSummary, ReducedBiasFactorAgainstMpmath)
{
    // mpmath, 40 digits: (sqrt(2/(r - 1)) gamma(r/2) / gamma((r - 1)/2))^3.5. 100 and 101 are the
    // last value from the gamma function and the first from the series.
    const std::pair<double, double> references[] = {
        {2, 0.45372239430252382896},   {23, 0.96102095467559924446},
        {100, 0.99120070881504353922}, {101, 0.99128831438569607583},
        {1e6, 0.99999912499950781242}, {1099511627776.0, 0.99999999999920419214},
    };
    for (const auto& [r, factor] : references)
        expectRelative(reducedBiasFactor(r), factor, 2e-15, std::to_string(r).c_str());
    EXPECT_TRUE(std::isnan(reducedBiasFactor(1)));
}

TEST(FitSummary, ReducedBiasShapeOnlyForTwoParametersWithoutIntervals)
{
    const Analysis bearings = analyseLifeData(example("ball_bearings.dat"), {});
    expectRelative(bearings.twoParameterInference.mReducedBias,
                   bearings.twoParameter.m * 0.96102095467559924446, 2e-15, "m reduced bias");
    const std::string json = analysisJson(bearings, {});
    const std::size_t three = json.find("\"threeParameter\"");
    EXPECT_LT(json.find("\"mReducedBias\": 2.02"), three) << json;
    EXPECT_EQ(json.find("mReducedBias", three), std::string::npos) << "not for three parameters";

    AnalysisRequest request;
    request.model = ModelChoice::twoParameter;
    const Analysis salinity = analyseLifeData(example("salinity_intervals.dat"), request);
    EXPECT_TRUE(std::isnan(salinity.twoParameterInference.mReducedBias));
    EXPECT_NE(analysisJson(salinity, request).find("\"mReducedBias\": null,\n    \"mReducedBiasText\": \"not defined "
                                                   "for data with intervals\""),
              std::string::npos);
}

TEST(FitSummary, TheWholeDocumentIsTheSameForAnyThreadsAndForCounts)
{
    // Distinct times: enough records for the helpers to share the sums.
    std::mt19937_64 random(11);
    std::weibull_distribution<double> life(2.5, 300);
    std::uniform_real_distribution<double> uniform(0, 1);
    LifeData lines;
    for (int i = 0; i < 40000; ++i) {
        const double t = life(random);
        lines.values.push_back(t);
        lines.upper.push_back(t);
        lines.states.push_back(uniform(random) < 0.4 ? State::suspension : State::failure);
        lines.counts.push_back(1);
    }
    AnalysisRequest request;
    request.model = ModelChoice::twoParameter;
    request.bounds = BoundsChoice::fisher;
    request.threads = 1;
    const std::string one = analysisJson(analyseLifeData(lines, request), request);
    request.threads = 3;
    EXPECT_EQ(analysisJson(analyseLifeData(lines, request), request), one);

    LifeData counted = lines;
    counted.values.push_back(lines.values[0]);
    counted.upper.push_back(lines.upper[0]);
    counted.states.push_back(lines.states[0]);
    counted.counts.push_back(2);
    lines.values.insert(lines.values.end(), 2, lines.values[0]);
    lines.upper.insert(lines.upper.end(), 2, lines.upper[0]);
    lines.states.insert(lines.states.end(), 2, lines.states[0]);
    lines.counts.insert(lines.counts.end(), 2, 1);
    const std::string byLine = analysisJson(analyseLifeData(lines, request), request);
    std::string byCount = analysisJson(analyseLifeData(counted, request), request);
    // Only the number of lines differs.
    const std::string counted40001 = "\"lines\": 40001", lines40002 = "\"lines\": 40002";
    const std::size_t at = byCount.find(counted40001);
    ASSERT_NE(at, std::string::npos);
    byCount.replace(at, counted40001.size(), lines40002);
    EXPECT_EQ(byCount, byLine);
    EXPECT_NE(byLine.find("\"covariance\""), std::string::npos);
}

} // namespace

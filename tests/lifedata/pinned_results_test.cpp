// The life-data numbers held tight: the shipped examples' fits to the bit, the fits' stationarity
// (a loose stop would pass the 1e-7 references), a maximum that only the far end of the location
// grid reaches, the delta method's transforms against finite differences, and the JSON keys.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis_json.h"
#include "fisher_bounds.h"
#include "life_analysis.h"
#include "life_data_file.h"

using namespace lifedata;

namespace {

LifeData example(const std::string& name) { return readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/" + name); }

Analysis fitsOnly(const LifeData& data)
{
    AnalysisRequest request;
    request.bounds = BoundsChoice::none;
    request.threads = 1;
    return analyseLifeData(data, request);
}

LifeData failures(const std::vector<double>& times)
{
    LifeData data;
    data.values = data.upper = times;
    data.states.assign(times.size(), State::failure);
    data.counts.assign(times.size(), 1);
    return data;
}

struct PinnedFits {
    const char* file;
    double two[3];   // m, eta, log-likelihood at gamma = 0
    double three[4]; // m, eta, gamma, log-likelihood; NaN without an estimate
};

// The bits of today's results (printed with %a); the references they agree with to 1e-7 are in
// weibull_fit_test.cpp. A change in any bit must be a deliberate one.
const PinnedFits pinned[] = {
    {"ball_bearings.dat",
     {0x1.0d1043e59d1dp+1, 0x1.47836a006ae1fp+6, -0x1.c6c3e1c529587p+6},
     {0x1.9823fb815acebp+0, 0x1.ff0a57166ef4cp+5, 0x1.dc077f74dd54ap+3, -0x1.c3669809759b3p+6}},
    {"glass_fibres.dat",
     {0x1.71f7014d75cb5p+2, 0x1.a0cc0b92e354ap+0, -0x1.e69e6ff317348p+3},
     {0x1.7b62f8caa47ccp+3, 0x1.9e154ce6921d5p+1, -0x1.97e8f87fc365fp+0, -0x1.c9211581f538p+3}},
    {"long_iteration.dat", {0x1.347ad8603ebdfp-1, 0x1.cb19c5a5e2b44p+49, -0x1.5c60c1004d199p+20}, {NAN, NAN, NAN, NAN}},
    {"ovarian_suspensions.dat", {0x1.1ba9cd977b791p+0, 0x1.325ad0391c262p+10, -0x1.87d0cb6fa42ffp+6}, {NAN, NAN, NAN, NAN}},
    {"salinity_intervals.dat",
     {0x1.52d33fafd13efp+1, 0x1.1edb501cad606p+5, -0x1.16330da856358p+7},
     {0x1.649a82c506456p+0, 0x1.884791fd6e6dfp+4, 0x1.52b6a27242b71p+3, -0x1.12bc73a7e28edp+7}},
    {"synthetic_extreme_value.dat", {0x1.756f8832bd418p+4, 0x1.8ac80d1fe1411p+6, -0x1.311f417a124b6p+6}, {NAN, NAN, NAN, NAN}},
    {"synthetic_rising_to_smallest.dat",
     {0x1.7577e3d6ab036p-1, 0x1.db8620a886311p+6, -0x1.26778923ffcfdp+7},
     {NAN, NAN, NAN, NAN}},
};

void expectBits(double actual, double expected, const std::string& what)
{
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << what << " " << actual;
    else
        EXPECT_EQ(actual, expected) << what << std::hexfloat << " " << actual << " != " << expected;
}

TEST(PinnedResults, ExampleFitsKeepTheirBits)
{
    for (const PinnedFits& p : pinned) {
        const Analysis a = fitsOnly(example(p.file));
        const std::string file = p.file;
        expectBits(a.twoParameter.m, p.two[0], file + " 2P m");
        expectBits(a.twoParameter.eta, p.two[1], file + " 2P eta");
        expectBits(a.twoParameter.logLikelihood, p.two[2], file + " 2P log-likelihood");
        expectBits(a.threeParameter.fit.m, p.three[0], file + " 3P m");
        expectBits(a.threeParameter.fit.eta, p.three[1], file + " 3P eta");
        expectBits(a.threeParameter.fit.gamma, p.three[2], file + " 3P gamma");
        expectBits(a.threeParameter.fit.logLikelihood, p.three[3], file + " 3P log-likelihood");
    }
}

// At a maximum the gradient is zero up to the rounding of its sums: about 1e-14 of the failure
// units per unit of m. A stop 100 times looser than the fits' leaves it near 1e-12.
TEST(PinnedResults, FitsStopAtAStationaryPointAndARefitAgrees)
{
    for (const PinnedFits& p : pinned) {
        const LifeData data = example(p.file);
        const PreparedData prepared = prepareLifeData(data);
        const Analysis a = fitsOnly(data);
        for (const WeibullFit* fit : {&a.twoParameter, &a.threeParameter.fit}) {
            if (fit->status != FitStatus::ok)
                continue;
            const bool three = fit == &a.threeParameter.fit;
            const std::string what = std::string(p.file) + (three ? " 3P" : " 2P");
            const LikelihoodDerivatives d = evaluateLikelihood(prepared, fit->m, fit->eta, fit->gamma, 1, FitSettings{1});
            const double scale = prepared.failureUnits * std::max(1.0, fit->m);
            EXPECT_LT(std::fabs(d.gradient[0]), 2e-13 * scale) << what << " d/d ln m";
            EXPECT_LT(std::fabs(d.gradient[1]), 2e-13 * scale) << what << " d/d ln eta";
            if (!three)
                continue;
            EXPECT_LT(std::fabs(d.gradient[2]) * fit->eta, 2e-13 * scale) << what << " d/d gamma";
            // The two-parameter fit at the estimate's location starts from a guess from the data,
            // not from the profile's neighbouring solution, and must land on the same point.
            const WeibullFit refit = fitTwoParameter(prepared, fit->gamma, FitSettings{1});
            EXPECT_NEAR(refit.m, fit->m, 5e-13 * fit->m) << what;
            EXPECT_NEAR(refit.eta, fit->eta, 5e-13 * fit->eta) << what;
        }
    }
}

// Large data are fitted on a sample first and finished by Newton's method on all records; the
// finish must be as tight as the profile's: stationary to rounding, and a refit at its location
// lands on the same shape and scale.
TEST(PinnedResults, LargeDataFitsStopAtAStationaryPoint)
{
    std::mt19937_64 random(31);
    std::vector<double> times;
    for (int i = 0; i < 20000; ++i) {
        const double u = static_cast<double>(random() >> 11) * 0x1p-53;
        times.push_back(50 + 100 * std::pow(-std::log1p(-u), 1 / 2.5));
    }
    const LifeData data = failures(times);
    const PreparedData prepared = prepareLifeData(data);
    const WeibullFit fit = fitsOnly(data).threeParameter.fit;
    ASSERT_EQ(fit.status, FitStatus::ok) << fit.statusText;
    const LikelihoodDerivatives d = evaluateLikelihood(prepared, fit.m, fit.eta, fit.gamma, 1, FitSettings{1});
    const double scale = prepared.failureUnits * fit.m;
    EXPECT_LT(std::fabs(d.gradient[0]), 2e-13 * scale);
    EXPECT_LT(std::fabs(d.gradient[1]), 2e-13 * scale);
    EXPECT_LT(std::fabs(d.gradient[2]) * fit.eta, 2e-13 * scale);
    const WeibullFit refit = fitTwoParameter(prepared, fit.gamma, FitSettings{1});
    EXPECT_NEAR(refit.m, fit.m, 5e-13 * fit.m);
    EXPECT_NEAR(refit.eta, fit.eta, 5e-13 * fit.eta);
    EXPECT_NEAR(refit.logLikelihood, fit.logLikelihood, 1e-13 * std::fabs(fit.logLikelihood));
}

TEST(PinnedResults, AMaximumFarBelowTheSmallestFailureIsReached)
{
    // 19 values whose three-parameter maximum lies about 560 spreads below the smallest one, where
    // only the far end of the location grid (up to 1e4 spreads) sees it. mpmath 1.3 at 40 digits:
    // for gamma fixed, m from the profile equation (findroot), eta closed form; gamma by bisection
    // of dlp/dgamma = sum(-(m - 1)/x + (m/eta)(x/eta)^(m - 1)) on [-70000, -62000]. The profile is
    // so flat there that a double's rounding of dlp/dgamma (about 1e-12) moves its root by about
    // 1e3, while the log-likelihood stays within 1e-11.
    const LifeData data = failures({1000.902, 924.126, 999.575, 982.610, 995.633, 986.612, 972.951, 910.144, 993.455,
                                    1030.454, 931.335, 964.346, 1012.806, 1010.481, 970.707, 1009.860, 972.144, 1004.753,
                                    966.936});
    const WeibullFit fit = fitsOnly(data).threeParameter.fit;
    ASSERT_EQ(fit.status, FitStatus::ok) << fit.statusText;
    EXPECT_NEAR(fit.logLikelihood, -90.812408084736484036, 1e-10 * 90.8);
    EXPECT_NEAR(fit.gamma, -64958.063506757358487, 0.03 * 66000);
    EXPECT_NEAR(fit.m, 2696.4846281706178383, 0.03 * 2696);
    EXPECT_GT((910.144 - fit.gamma) / (1030.454 - 910.144), 1e2);
}

// The delta method's transforms, against the same variance with the gradient taken by central
// differences of the quantity itself in (ln m, ln eta, gamma).
TEST(PinnedResults, DeltaMethodGradientsAgreeWithDifferences)
{
    const Analysis a = fitsOnly(example("ball_bearings.dat"));
    const WeibullFit& fit = a.threeParameter.fit;
    const WeibullEstimate e{fit.m, fit.eta, fit.gamma};
    const PreparedData prepared = prepareLifeData(example("ball_bearings.dat"));
    const LikelihoodDerivatives d = evaluateLikelihood(prepared, e.m, e.eta, e.gamma, 2, FitSettings{1});
    ParameterCovariance covariance;
    ASSERT_TRUE(covarianceFromHessian(d.hessian, 3, covariance));
    const double z = 1.959963984540054;

    auto numericVariance = [&](auto quantity) {
        double gradient[3];
        for (int i = 0; i < 3; ++i) {
            const double h = 1e-6;
            double up[3] = {std::log(e.m), std::log(e.eta), e.gamma}, down[3] = {up[0], up[1], up[2]};
            up[i] += h;
            down[i] -= h;
            auto at = [](const double (&p)[3]) { return WeibullEstimate{std::exp(p[0]), std::exp(p[1]), p[2]}; };
            gradient[i] = (quantity(at(up)) - quantity(at(down))) / (2 * h);
        }
        return deltaMethodVariance(covariance, gradient);
    };

    for (double percent : {0.1, 10.0, 90.0}) {
        const double tP = bLife(e, percent);
        const double se = std::sqrt(numericVariance([&](const WeibullEstimate& at) { return bLife(at, percent); }));
        const ConfidenceInterval b = fisherBLifeBounds(e, covariance, z, percent);
        EXPECT_NEAR(b.lower.value, tP * std::exp(-z * se / tP), 1e-7 * tP) << percent;
        EXPECT_NEAR(b.upper.value, tP * std::exp(z * se / tP), 1e-7 * tP) << percent;
    }
    for (double t : {20.0, 60.0, 150.0}) {
        // Bounds on u = ln(-ln R), mapped back to R.
        auto u = [&](const WeibullEstimate& at) { return std::log(-std::log(reliability(at, t))); };
        const double se = std::sqrt(numericVariance(u));
        const ConfidenceInterval r = fisherReliabilityBounds(e, covariance, z, t);
        EXPECT_NEAR(r.lower.value, std::exp(-std::exp(u(e) + z * se)), 1e-7) << t;
        EXPECT_NEAR(r.upper.value, std::exp(-std::exp(u(e) - z * se)), 1e-7) << t;
    }
}

// Every key path of a JSON value; array elements share the path with "[]".
void keyPaths(const nlohmann::json& value, const std::string& path, std::set<std::string>& paths)
{
    if (value.is_object()) {
        for (auto it = value.begin(); it != value.end(); ++it)
            keyPaths(it.value(), path + "/" + it.key(), paths);
    } else if (value.is_array()) {
        paths.insert(path + "[]");
        for (const nlohmann::json& element : value)
            if (element.is_object())
                keyPaths(element, path + "[]", paths);
    } else {
        paths.insert(path);
    }
}

TEST(PinnedResults, JsonKeepsItsKeys)
{
    const AnalysisRequest request;
    const Analysis a = analyseLifeData(example("ball_bearings.dat"), request);
    std::set<std::string> paths;
    keyPaths(nlohmann::json::parse(analysisJson(a, request)), "", paths);
    const char* fit[] = {"/m", "/eta", "/gamma", "/t0", "/logLikelihood", "/status", "/confidence",
                         "/bounds/m/estimate", "/bounds/m/fisher/lower", "/bounds/m/fisher/upper",
                         "/bounds/m/likelihoodRatio/lower", "/bounds/m/likelihoodRatio/upper",
                         "/bounds/eta/estimate", "/bounds/eta/fisher/lower", "/bounds/eta/fisher/upper",
                         "/bounds/eta/likelihoodRatio/lower", "/bounds/eta/likelihoodRatio/upper", "/bLives[]",
                         "/bLives[]/percent", "/bLives[]/estimate", "/bLives[]/fisher/lower", "/bLives[]/fisher/upper",
                         "/bLives[]/likelihoodRatio/lower", "/bLives[]/likelihoodRatio/upper", "/reliability[]",
                         "/goodnessOfFit/andersonDarling", "/goodnessOfFit/pValue", "/goodnessOfFit/seed",
                         "/goodnessOfFit/bootstrapSamples", "/goodnessOfFit/failedRefits"};
    std::set<std::string> expected = {"/method", "/data/failures", "/data/suspensions", "/data/intervals", "/data/units",
                                      "/data/lines", "/likelihoodRatio/statistic", "/likelihoodRatio/pValue",
                                      "/likelihoodRatio/note", "/threeParameter/profile[]",
                                      "/threeParameter/bounds/gamma/estimate",
                                      "/threeParameter/bounds/gamma/fisher/lower",
                                      "/threeParameter/bounds/gamma/likelihoodRatio/lower",
                                      "/threeParameter/bounds/gamma/likelihoodRatio/upper"};
    for (const char* key : fit) {
        expected.insert(std::string("/twoParameter") + key);
        expected.insert(std::string("/threeParameter") + key);
    }
    for (const std::string& key : expected)
        EXPECT_EQ(paths.count(key), 1u) << key;
}

} // namespace

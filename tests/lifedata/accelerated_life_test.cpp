// Accelerated life models: the motorette insulation data against R's survreg, the likelihood-ratio
// bounds against profiles computed in R, the common-shape test, counts against lines and threads,
// and the data and requests that are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "accelerated_analysis.h"
#include "life_data_file.h"
#include "life_data_builders.h"

using namespace lifedata;

namespace {

const std::string motorette = std::string(VARNEL_EXAMPLES) + "/motorette_insulation.dat";

AcceleratedRequest arrheniusCelsius(std::vector<double> use = {})
{
    AcceleratedRequest request;
    request.model = StressModel::arrhenius;
    request.celsius = true;
    request.useStresses = std::move(use);
    request.settings.at = {10000};
    return request;
}

LifeData readMotorette() { return readLifeDataFile(motorette, StressColumn{true}); }

std::string writeData(const std::string& name, const std::string& text)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "varnel_accelerated_tests";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

void expectSameBits(double a, double b)
{
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << a << " vs " << b;
}

void expectSameBounds(const QuantityBounds& x, const QuantityBounds& y)
{
    expectSameBits(x.estimate, y.estimate);
    expectSameBits(x.fisher.lower.value, y.fisher.lower.value);
    expectSameBits(x.fisher.upper.value, y.fisher.upper.value);
    expectSameBits(x.likelihoodRatio.lower.value, y.likelihoodRatio.lower.value);
    expectSameBits(x.likelihoodRatio.upper.value, y.likelihoodRatio.upper.value);
}

void expectSameAnalysis(const AcceleratedAnalysis& x, const AcceleratedAnalysis& y)
{
    expectSameBits(x.fit.m, y.fit.m);
    expectSameBits(x.fit.a, y.fit.a);
    expectSameBits(x.fit.b, y.fit.b);
    expectSameBits(x.fit.logLikelihood, y.fit.logLikelihood);
    expectSameBits(x.fit.commonShape.statistic, y.fit.commonShape.statistic);
    expectSameBounds(x.inference.m, y.inference.m);
    expectSameBounds(x.inference.b, y.inference.b);
    ASSERT_EQ(x.inference.use.size(), y.inference.use.size());
    for (std::size_t i = 0; i < x.inference.use.size(); ++i) {
        expectSameBounds(x.inference.use[i].eta, y.inference.use[i].eta);
        expectSameBounds(x.inference.use[i].bLives[1].bounds, y.inference.use[i].bLives[1].bounds);
        expectSameBounds(x.inference.use[i].reliability[0].bounds, y.inference.use[i].reliability[0].bounds);
    }
}

// The data in R (status 1 failed), with x = 1 / (temp + 273.15):
//   d <- data.frame(time = c(rep(8064,10), 1764,2772,3444,3542,3780,4860,5196, rep(5448,3),
//                            408,408,1344,1344,1440, rep(1680,5), 408,408,504,504,504, rep(528,5)), ...)
//   f <- survreg(Surv(time, status) ~ x, data = d, dist = "weibull",
//                control = survreg.control(rel.tolerance = 1e-13, maxiter = 200))
// coef(f) = (a, b), 1 / f$scale = m, f$loglik[2].
TEST(AcceleratedLife, MotoretteArrheniusFitAgreesWithSurvreg)
{
    const AcceleratedAnalysis analysis = analyseAcceleratedLife(readMotorette(), arrheniusCelsius());
    const AcceleratedFit& fit = analysis.fit;
    ASSERT_EQ(fit.status, FitStatus::ok);
    EXPECT_NEAR(fit.a, -13.353003241755074, 1e-7);
    EXPECT_NEAR(fit.b, 9723.879025182281, 1e-7 * 9723.9);
    EXPECT_NEAR(fit.m, 3.0727225105420701, 1e-8 * 3.07);
    EXPECT_NEAR(fit.logLikelihood, -146.25429607537941, 1e-9);
    // The activation energy b k_B in eV, with survreg's b.
    EXPECT_NEAR(fit.b * boltzmannElectronVolts, 9723.879025182281 * 8.617333262e-5, 1e-7);

    // Four stresses; none failed at 150 C, so it has no fit of its own. Separate fits:
    //   survreg(Surv(time, status) ~ 1, data = d[d$temp == t, ], dist = "weibull")
    ASSERT_EQ(fit.groups.size(), 4u);
    EXPECT_EQ(fit.groups[0].failures, 0u);
    EXPECT_EQ(fit.groups[0].units, 10u);
    EXPECT_NE(fit.groups[0].fit.status, FitStatus::ok);
    EXPECT_EQ(fit.groups[1].failures, 7u);
    EXPECT_NEAR(fit.groups[1].fit.eta, 5066.6070341284276, 1e-6);
    EXPECT_NEAR(fit.groups[1].fit.m, 2.8780653244603265, 1e-8);
    EXPECT_NEAR(fit.groups[3].fit.m, 8.9956384165235814, 1e-7);

    // Common shape with a free scale per stress where units failed:
    //   com <- survreg(Surv(time, status) ~ factor(temp), data = d[d$temp > 150, ], dist = "weibull")
    //   2 * (sum of the separate loglik - com$loglik[2]) = 7.1422217882393397, 2 df,
    //   pchisq(., 2, lower.tail = FALSE) = 0.028124592874949669, 1 / com$scale = 2.8320148701855818
    const CommonShapeTest& test = fit.commonShape;
    ASSERT_TRUE(test.available);
    EXPECT_NEAR(test.statistic, 7.1422217882393397, 1e-7);
    EXPECT_EQ(test.degreesOfFreedom, 2);
    EXPECT_NEAR(test.pValue, 0.028124592874949669, 1e-8);
    EXPECT_NEAR(test.commonShape, 2.8320148701855818, 1e-7);
}

// Fisher bounds at 130 C from
//   predict(f, data.frame(x = 1/403.15), type = "uquantile", p = c(0.1, 0.632120558828558), se.fit = TRUE)
// (ln t_10 = 10.034382054397547, se 0.24644835855063052; ln eta = 10.766751254542291, se
// 0.24545639882074899), exp(fit +- qnorm(0.975) se). Likelihood-ratio bounds from R's profile with x
// centred at x0 = 1/403.15 and the held quantity fixed in the intercept, each side by uniroot (tol
// 1e-12) on the profile (optim BFGS, Nelder-Mead, BFGS, reltol 1e-15) minus lmax + qchisq(0.95, 1)/2.
TEST(AcceleratedLife, BoundsAtAUseTemperatureAgreeWithR)
{
    const AcceleratedAnalysis analysis = analyseAcceleratedLife(readMotorette(), arrheniusCelsius({130}));
    ASSERT_EQ(analysis.inference.use.size(), 1u);
    const UseStressBounds& use = analysis.inference.use[0];
    const double z = 1.959963984540054;
    const QuantityBounds& eta = use.eta;
    EXPECT_NEAR(eta.estimate, std::exp(10.766751254542291), 1e-6 * eta.estimate);
    EXPECT_NEAR(eta.fisher.lower.value, std::exp(10.766751254542291 - z * 0.24545639882074899), 1e-6 * eta.estimate);
    EXPECT_NEAR(eta.fisher.upper.value, std::exp(10.766751254542291 + z * 0.24545639882074899), 1e-6 * eta.estimate);
    EXPECT_NEAR(eta.likelihoodRatio.lower.value, 30968.451988808953, 1e-5 * 30968);
    EXPECT_NEAR(eta.likelihoodRatio.upper.value, 88380.188994528435, 1e-5 * 88380);

    ASSERT_EQ(use.bLives.size(), 2u);
    const QuantityBounds& b10 = use.bLives[1].bounds;
    EXPECT_EQ(use.bLives[1].percent, 10);
    EXPECT_NEAR(b10.fisher.lower.value, 14063.698016313418, 1e-6 * 14063);
    EXPECT_NEAR(b10.fisher.upper.value, 36953.363890061395, 1e-6 * 36953);
    EXPECT_NEAR(b10.likelihoodRatio.lower.value, 13317.176030268711, 1e-5 * 13317);
    EXPECT_NEAR(b10.likelihoodRatio.upper.value, 37636.57875885559, 1e-5 * 37636);

    // R(10000) at 130 C: the reliability's bounds lie on either side of it, Fisher and profile alike.
    const QuantityBounds& r = use.reliability[0].bounds;
    EXPECT_NEAR(r.estimate, std::exp(-std::pow(10000 / eta.estimate, analysis.fit.m)), 1e-12);
    EXPECT_LT(r.fisher.lower.value, r.estimate);
    EXPECT_GT(r.fisher.upper.value, r.estimate);
    EXPECT_LT(r.likelihoodRatio.lower.value, r.estimate);
    EXPECT_GT(r.likelihoodRatio.upper.value, r.estimate);
}

TEST(AcceleratedLife, CountsAndLinesAndThreadCountsGiveTheSameBits)
{
    const LifeData data = readMotorette();
    AcceleratedRequest one = arrheniusCelsius({130, 150});
    one.settings.threads = 1;
    AcceleratedRequest three = one;
    three.settings.threads = 3;
    const AcceleratedAnalysis counted = analyseAcceleratedLife(data, one);
    expectSameAnalysis(counted, analyseAcceleratedLife(oneUnitPerLine(data), one));
    expectSameAnalysis(counted, analyseAcceleratedLife(data, three));
}

TEST(AcceleratedLife, TheOtherModelsUseTheirOwnVariable)
{
    EXPECT_DOUBLE_EQ(stressVariable(StressModel::arrhenius, false, 400), 1.0 / 400);
    EXPECT_DOUBLE_EQ(stressVariable(StressModel::arrhenius, true, 126.85), 1.0 / 400);
    EXPECT_DOUBLE_EQ(stressVariable(StressModel::power, false, std::exp(2.0)), 2);
    EXPECT_DOUBLE_EQ(stressVariable(StressModel::exponential, false, 7), 7);
    // The power law on the same data in kelvin: x = ln S, so its slope is another model's, but
    // the fit converges with its own common shape.
    LifeData data = readMotorette();
    for (double& s : data.stresses)
        s += 273.15;
    AcceleratedRequest request;
    request.model = StressModel::power;
    const AcceleratedAnalysis power = analyseAcceleratedLife(data, request);
    EXPECT_EQ(power.fit.status, FitStatus::ok);
    EXPECT_LT(power.fit.b, 0);
}

TEST(AcceleratedLife, RefusesDataAndRequestsItCannotAnalyse)
{
    LifeData data = readMotorette();
    // Failures at 170 C only: no line to fit.
    LifeData oneStress = data;
    for (std::size_t i = 0; i < oneStress.values.size(); ++i) {
        if (oneStress.stresses[i] != 170)
            oneStress.states[i] = State::suspension;
    }
    try {
        analyseAcceleratedLife(oneStress, arrheniusCelsius());
        FAIL() << "one stress with failures was fitted";
    } catch (const DataError& error) {
        EXPECT_STREQ(error.what(), "an accelerated model needs failures at two or more stresses");
    }
    LifeData noStresses = data;
    noStresses.stresses.clear();
    EXPECT_THROW(analyseAcceleratedLife(noStresses, arrheniusCelsius()), DataError);
    // Celsius stresses read as kelvin: 150 K is fine, but -10 is below absolute zero only in kelvin.
    LifeData cold = data;
    cold.stresses[0] = -10;
    AcceleratedRequest kelvin = arrheniusCelsius();
    kelvin.celsius = false;
    EXPECT_THROW(analyseAcceleratedLife(cold, kelvin), DataError);
    EXPECT_NO_THROW(analyseAcceleratedLife(cold, arrheniusCelsius()));
    EXPECT_THROW(analyseAcceleratedLife(data, arrheniusCelsius({-300})), DataError);
    AcceleratedRequest celsiusPower = arrheniusCelsius();
    celsiusPower.model = StressModel::power;
    EXPECT_THROW(analyseAcceleratedLife(data, celsiusPower), DataError);
}

TEST(AcceleratedLifeFile, StressLinesNeedStateCountAndStress)
{
    const LifeData data = readLifeDataFile(writeData("good.dat", "10 F 2 150\n5 7 I 1 170.5\n12,S,3,150\n"),
                                           StressColumn{});
    EXPECT_EQ(data.stresses, (std::vector<double>{150, 170.5, 150}));
    EXPECT_EQ(data.counts, (std::vector<std::uint32_t>{2, 1, 3}));
    EXPECT_EQ(data.states[1], State::interval);
    // Without --stress the same file is an error: the fourth field is not expected.
    EXPECT_THROW(readLifeDataFile(writeData("plain.dat", "10 F 2 150\n")), DataError);

    const struct {
        const char* line;
        const char* expected;
    } cases[] = {
        {"10", "expected VALUE F|S COUNT STRESS or LOW HIGH I COUNT STRESS"},
        {"10 F", "expected a count after the state (required with a stress)"},
        {"10 F 150", "expected VALUE F|S COUNT STRESS or LOW HIGH I COUNT STRESS"},
        {"10 F 1 0", "expected a stress above 0"},
        {"10 F 1 hot", "expected VALUE F|S COUNT STRESS"},
        {"10 F 1 150 x", "expected nothing after the stress"},
        {"5 7 I 150", "expected VALUE F|S COUNT STRESS"},
    };
    for (const auto& c : cases) {
        const std::string path = writeData("bad.dat", std::string("# hours state count stress\n") + c.line + "\n");
        try {
            readLifeDataFile(path, StressColumn{});
            ADD_FAILURE() << c.line << " was read";
        } catch (const DataError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(path + ":2: " + c.expected, 0), 0u) << error.what();
        }
    }
    const std::string frozen = writeData("frozen.dat", "10 F 1 -273.15\n");
    EXPECT_THROW(readLifeDataFile(frozen, StressColumn{true}), DataError);
    EXPECT_EQ(readLifeDataFile(writeData("cold.dat", "10 F 1 -40\n"), StressColumn{true}).stresses[0], -40);
}

} // namespace

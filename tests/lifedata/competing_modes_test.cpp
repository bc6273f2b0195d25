// Competing failure modes: the mode word of a data line, each mode's fit against R's survreg, the
// series system's B-lives and bounds, and the same bits for counts as for lines and for any threads.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "competing_modes_json.h"
#include "fisher_bounds.h"
#include "life_analysis.h"
#include "life_data_file.h"
#include "normal_quantile.h"

using namespace lifedata;

namespace {

std::string writeData(const std::string& name, const std::string& text)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "varnel_competing_modes_tests";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

const std::string mgus2 = std::string(VARNEL_EXAMPLES) + "/mgus2_competing_modes.dat";

AnalysisRequest modesRequest(unsigned threads = 1)
{
    AnalysisRequest request;
    request.model = ModelChoice::twoParameter;
    request.modes = ModesChoice::twoParameter;
    request.threads = threads;
    request.at = {12, 120};
    return request;
}

std::string modesJson(const Analysis& analysis)
{
    JsonObject root(0);
    addCompetingModesJson(root, analysis.competingModes);
    return root.close();
}

std::string readError(const std::string& text)
{
    const std::string path = writeData("refused.dat", text);
    try {
        readLifeDataFile(path);
    } catch (const DataError& error) {
        return std::string(error.what()).substr(path.size());
    }
    return "read without an error";
}

TEST(CompetingModes, ModeWordsAreReadAfterTheStateOrCountAndRefusedOnSuspensions)
{
    const LifeData data = readLifeDataFile(writeData("modes.dat", "10 F wear\n"
                                                                  "11 F 3 seal-leak\n"
                                                                  "12 S 2\n"
                                                                  "13 F\n"
                                                                  "14 16 I 2 wear\n"
                                                                  "15 15 I seal-leak\n"));
    ASSERT_EQ(data.modes.size(), 6u);
    EXPECT_EQ(data.modeNames, (std::vector<std::string>{"wear", "seal-leak", unlabelledMode}));
    EXPECT_EQ(data.modes, (std::vector<std::uint32_t>{0, 1, noMode, 2, 0, 1}));
    EXPECT_EQ(data.counts[1], 3u);
    EXPECT_EQ(data.states[4], State::interval);
    EXPECT_EQ(data.states[5], State::failure); // equal ends: an exact failure, its mode kept
    EXPECT_NO_THROW(validateLifeData(data));

    // Without a mode word nothing changes: no modes at all.
    EXPECT_TRUE(readLifeDataFile(writeData("plain.dat", "10 F\n11 S\n")).modes.empty());

    EXPECT_EQ(readError("10 F\n12 S wear\n"), ":2: expected no mode on an S line: a suspension has no failure mode");
    EXPECT_EQ(readError("12 F 2 S\n"), ":1: expected one state: a mode word cannot be F, S or I");
    EXPECT_EQ(readError("12 F wear 2\n"), ":1: expected nothing after the mode");
    EXPECT_EQ(readError("12 F wear\x01\n"), ":1: expected a mode word of printable ASCII characters");
    EXPECT_EQ(readError("12 F 2x\n"),
              ":1: expected a count after the state: a whole number from 1 to 2147483647 in digits");
}

TEST(CompetingModes, CallerModesAreChecked)
{
    LifeData data{{10, 11}, {10, 11}, {State::failure, State::suspension}, {1, 1}, {}, {0, 0}, {"wear"}};
    EXPECT_THROW(validateLifeData(data), DataError); // a suspension with a mode
    data.modes = {0};
    EXPECT_THROW(validateLifeData(data), DataError); // not one per record
    data.modes = {1, noMode};
    EXPECT_THROW(validateLifeData(data), DataError); // no such name
    data.modes = {0, noMode};
    EXPECT_NO_THROW(validateLifeData(data));
}

// R 4.2, survival 3.4, on the example's data (etime and event as in its header):
//   f <- survreg(Surv(etime, event == MODE) ~ 1, dist = "weibull")
//   1 / f$scale; exp(coef(f)); f$loglik[1]; sqrt(diag(vcov(f)))   (se of ln eta and of ln scale = -ln m)
TEST(CompetingModes, EachModeAgreesWithSurvreg)
{
    const Analysis analysis = analyseLifeData(readLifeDataFile(mgus2), modesRequest());
    const auto& modes = analysis.competingModes.modes;
    ASSERT_EQ(modes.size(), 2u);
    struct Reference {
        const char* mode;
        std::uint64_t failures;
        double m, eta, logLikelihood, seLnEta, seLnM;
    } references[] = {
        {"death", 860, 0.86348699921552607, 155.31969255049435, -5159.101739816032, 0.040219987336753645,
         0.029559310638900764},
        {"pcm", 115, 1.184898997238208, 805.23686982378968, -920.75294894732838, 0.15760036386935222,
         0.076733087401392605},
    };
    const double z = normalQuantile(0.975);
    for (std::size_t k = 0; k < 2; ++k) {
        const Reference& r = references[k];
        const ModeFit& mode = modes[k];
        EXPECT_EQ(mode.name, r.mode);
        EXPECT_EQ(mode.failures, r.failures);
        ASSERT_EQ(mode.fit.status, FitStatus::ok) << r.mode;
        EXPECT_NEAR(mode.fit.m, r.m, 1e-9 * r.m) << r.mode;
        EXPECT_NEAR(mode.fit.eta, r.eta, 1e-9 * r.eta) << r.mode;
        EXPECT_NEAR(mode.fit.logLikelihood, r.logLikelihood, 1e-9 * std::fabs(r.logLikelihood)) << r.mode;
        const ConfidenceInterval& eta = mode.inference.eta.fisher;
        EXPECT_NEAR(eta.lower.value, r.eta * std::exp(-z * r.seLnEta), 1e-6 * r.eta) << r.mode;
        EXPECT_NEAR(eta.upper.value, r.eta * std::exp(z * r.seLnEta), 1e-6 * r.eta) << r.mode;
        const ConfidenceInterval& m = mode.inference.m.fisher;
        EXPECT_NEAR(m.lower.value, r.m * std::exp(-z * r.seLnM), 1e-6 * r.m) << r.mode;
        EXPECT_NEAR(m.upper.value, r.m * std::exp(z * r.seLnM), 1e-6 * r.m) << r.mode;
    }
}

TEST(CompetingModes, SystemBLivesSolveTheProductOfTheModesReliabilities)
{
    AnalysisRequest request = modesRequest();
    request.bLifePercents = {0.1, 1, 10, 50, 90};
    const Analysis analysis = analyseLifeData(readLifeDataFile(mgus2), request);
    std::vector<SystemMode> modes;
    for (const ModeFit& mode : analysis.competingModes.modes)
        modes.push_back({{mode.fit.m, mode.fit.eta, mode.fit.gamma}});
    const SystemReliability& system = analysis.competingModes.system;
    ASSERT_TRUE(system.available);
    for (const BLifeBounds& b : system.bLives) {
        const double t = b.bounds.estimate;
        double product = 1;
        for (const SystemMode& mode : modes)
            product *= reliability(mode.estimate, t);
        EXPECT_NEAR(product, 1 - b.percent / 100, 1e-14) << b.percent;
        EXPECT_LT(b.bounds.fisher.lower.value, t);
        EXPECT_GT(b.bounds.fisher.upper.value, t);
    }
    for (const ReliabilityBounds& r : system.reliability) {
        EXPECT_LT(r.bounds.fisher.lower.value, r.bounds.estimate);
        EXPECT_GT(r.bounds.fisher.upper.value, r.bounds.estimate);
    }
}

// With one mode the system is that Weibull: its delta-method bounds on ln(-ln R) must be the
// single model's own Fisher bounds, for two and three parameters.
TEST(CompetingModes, OneModeSystemHasTheModelsOwnFisherBounds)
{
    for (ModesChoice choice : {ModesChoice::twoParameter, ModesChoice::threeParameter}) {
        AnalysisRequest request = modesRequest();
        request.modes = choice;
        request.at = {30, 80};
        const Analysis analysis =
            analyseLifeData(readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/ball_bearings.dat"), request);
        const ModeFit& mode = analysis.competingModes.modes.at(0);
        ASSERT_EQ(mode.fit.status, FitStatus::ok);
        const WeibullEstimate e{mode.fit.m, mode.fit.eta, mode.fit.gamma};
        ParameterCovariance c; // back to (ln m, ln eta, gamma)
        c.size = mode.inference.covarianceSize;
        const double scale[3] = {e.m, e.eta, 1};
        for (int i = 0; i < c.size; ++i) {
            for (int j = 0; j < c.size; ++j)
                c.c[i][j] = mode.inference.covariance[i][j] / (scale[i] * scale[j]);
        }
        const double z = normalQuantile(0.975);
        const SystemReliability& system = analysis.competingModes.system;
        for (const BLifeBounds& b : system.bLives) {
            const ConfidenceInterval own = fisherBLifeBounds(e, c, z, b.percent);
            EXPECT_NEAR(b.bounds.estimate, bLife(e, b.percent), 1e-12 * b.bounds.estimate);
            EXPECT_NEAR(b.bounds.fisher.lower.value, own.lower.value, 1e-9 * own.lower.value);
            EXPECT_NEAR(b.bounds.fisher.upper.value, own.upper.value, 1e-9 * own.upper.value);
        }
        for (const ReliabilityBounds& r : system.reliability) {
            const ConfidenceInterval own = fisherReliabilityBounds(e, c, z, r.at);
            EXPECT_NEAR(r.bounds.fisher.lower.value, own.lower.value, 1e-12);
            EXPECT_NEAR(r.bounds.fisher.upper.value, own.upper.value, 1e-12);
        }
    }
}

// The example's counts written out one unit per line.
TEST(CompetingModes, CountsAndLinesGiveTheSameBits)
{
    const LifeData counted = readLifeDataFile(mgus2);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < counted.values.size(); ++i) {
        const std::string mode = counted.states[i] == State::suspension ? " S" : " F " + counted.modeNames[counted.modes[i]];
        for (std::uint32_t unit = 0; unit < counted.counts[i]; ++unit)
            lines.push_back(std::to_string(static_cast<long>(counted.values[i])) + mode + "\n");
    }
    std::string text;
    for (const std::string& line : lines)
        text += line;
    const LifeData unrolled = readLifeDataFile(writeData("unrolled.dat", text));
    ASSERT_EQ(unrolled.values.size(), 1384u);
    const std::string expected = modesJson(analyseLifeData(counted, modesRequest()));
    const std::string actual = modesJson(analyseLifeData(unrolled, modesRequest()));
    ASSERT_EQ(unrolled.modeNames, counted.modeNames);
    EXPECT_EQ(actual, expected);
}

// Enough records for helper threads: every mode's fit, bounds and the system to the bit.
TEST(CompetingModes, OneAndThreeThreadsGiveTheSameBits)
{
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    LifeData data;
    data.modeNames = {"wear", "leak"};
    for (int i = 0; i < 20000; ++i) {
        const double wear = 1000 * std::pow(-std::log(1 - uniform(random)), 1 / 2.5);
        const double leak = 3000 * std::pow(-std::log(1 - uniform(random)), 1 / 0.8);
        const double end = 1500;
        const double t = std::fmin(std::fmin(wear, leak), end);
        const bool interval = i % 7 == 0 && t < end;
        data.values.push_back(interval ? std::floor(t / 100) * 100 : t);
        data.upper.push_back(interval ? std::floor(t / 100) * 100 + 100 : t);
        data.states.push_back(t == end ? State::suspension : interval ? State::interval : State::failure);
        data.counts.push_back(1);
        data.modes.push_back(t == end ? noMode : wear < leak ? 0 : 1);
    }
    const std::string one = modesJson(analyseLifeData(data, modesRequest(1)));
    EXPECT_EQ(modesJson(analyseLifeData(data, modesRequest(3))), one);
    EXPECT_NE(one.find("\"mode\": \"leak\""), std::string::npos);
}

TEST(CompetingModes, JsonShapeAndAModeWithoutAnEstimate)
{
    const Analysis analysis =
        analyseLifeData(readLifeDataFile(writeData("rare.dat", "10 F wear\n12 F wear\n15 F wear\n19 F wear\n"
                                                               "14 F leak\n20 S 4\n")),
                        modesRequest());
    const std::string json = modesJson(analysis);
    EXPECT_NE(json.find("\"mode\": \"wear\",\n      \"failures\": 4,\n      \"m\": "), std::string::npos) << json;
    EXPECT_NE(json.find("\"mode\": \"leak\",\n      \"failures\": 1,\n      \"m\": null,\n      \"eta\": null,\n"
                        "      \"gamma\": null,\n      \"logLikelihood\": null,\n"
                        "      \"status\": \"too few failures: fewer than 2 distinct failure times\",\n"
                        "      \"bounds\": null"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"system\": null,\n  \"systemText\": \"the mode leak has no estimate\""), std::string::npos)
        << json;
}

TEST(CompetingModes, RefusedWithRegressionOrAKnownShape)
{
    const LifeData data = readLifeDataFile(mgus2);
    AnalysisRequest request = modesRequest();
    request.method = EstimationMethod::rrx;
    EXPECT_THROW(analyseLifeData(data, request), DataError);
    request = modesRequest();
    request.shape = 1.5;
    EXPECT_THROW(analyseLifeData(data, request), DataError);
}

} // namespace

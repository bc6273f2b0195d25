// The goodness of fit and the bounds as one analysis gives them: the bootstrap's p-value repeats
// and does not depend on the threads, tells a Weibull sample from a lognormal one, and the words
// of the sides and notes reach the JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "inference_json.h"
#include "life/bounds_options.h"
#include "life/bounds_text.h"
#include "model_inference.h"
#include "normal_quantile.h"
#include "random_stream.h"

using namespace lifedata;

namespace {

PreparedData complete(const std::vector<double>& times)
{
    LifeData data;
    data.values = data.upper = times;
    data.states.assign(times.size(), State::failure);
    data.counts.assign(times.size(), 1);
    return prepareLifeData(data);
}

std::vector<double> weibullValues(std::uint64_t seed, int n)
{
    RandomStream stream(seed, 0);
    std::vector<double> values;
    for (int i = 0; i < n; ++i)
        values.push_back(weibullDraw(stream, 1.5, 100, 0));
    return values;
}

// A lognormal with sigma 1.5: far more spread than any Weibull of its median shows.
std::vector<double> lognormalValues(std::uint64_t seed, int n)
{
    RandomStream stream(seed, 0);
    std::vector<double> values;
    for (int i = 0; i < n; ++i)
        values.push_back(100 * std::exp(1.5 * normalQuantile(stream.uniform())));
    return values;
}

InferenceRequest request(BoundsChoice bounds, unsigned bootstrap, unsigned threads)
{
    return {0.95, {10}, {50}, bounds, bootstrap, 99, threads};
}

double bootstrapPValue(const std::vector<double>& values, unsigned threads)
{
    const PreparedData data = complete(values);
    const WeibullFit fit = fitTwoParameter(data, 0, FitSettings{1});
    const ModelInference inference = inferModel(data, fit, false, request(BoundsChoice::none, 200, threads));
    EXPECT_TRUE(inference.goodnessOfFit.defined);
    return inference.goodnessOfFit.pValue;
}

// examples/ball_bearings.dat at its three-parameter maximum (see the bounds tests).
ModelInference ballBearingsThreeParameter()
{
    const PreparedData data = complete({17.88, 28.92, 33.00, 41.52, 42.12, 45.60, 48.48, 51.84,
                                        51.96, 54.12, 55.56, 67.80, 68.64, 68.64, 68.88, 84.12,
                                        93.12, 98.64, 105.12, 105.84, 127.92, 128.04, 173.40});
    WeibullFit fit;
    fit.status = FitStatus::ok;
    fit.m = 1.5942990479677814;
    fit.eta = 63.880049724205641;
    fit.gamma = 14.875914780696078;
    fit.logLikelihood = -112.85018934994041;
    return inferModel(data, fit, true, request(BoundsChoice::both, 0, 1));
}

} // namespace

TEST(Bootstrap, RepeatsExactlyAndIsTheSameOnOneAndTwoThreads)
{
    const std::vector<double> values = weibullValues(5, 30);
    const double once = bootstrapPValue(values, 1);
    EXPECT_EQ(once, bootstrapPValue(values, 2));
    EXPECT_EQ(once, bootstrapPValue(values, 1));
}

TEST(Bootstrap, TellsAWeibullSampleFromALognormalOne)
{
    EXPECT_GT(bootstrapPValue(weibullValues(21, 50), 0), 0.05);
    EXPECT_LT(bootstrapPValue(lognormalValues(21, 50), 0), 0.01);
}

TEST(Inference, ThreeParameterCutsGammaAtTheSmallestFailureAndWarnsOfSmallShape)
{
    const ModelInference inference = ballBearingsThreeParameter();
    ASSERT_TRUE(inference.available);
    // The Fisher upper side of gamma, 24.84, would pass x1.
    EXPECT_EQ(inference.gamma.fisher.upper.value, 17.88);
    EXPECT_EQ(inference.gamma.fisher.upper.text, cutAtSmallestFailureText);
    EXPECT_NE(inference.fisherNote.find("m <= 2"), std::string::npos);

    JsonObject object(1);
    addInferenceJson(object, 1, inference);
    const std::string json = object.close();
    EXPECT_NE(json.find("\"upperText\": \"cut at the smallest failure\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"bLives\": [\n"), std::string::npos) << json;
    EXPECT_NE(json.find("\"pValueText\": \"no bootstrap samples asked for\""), std::string::npos) << json;
}

// A cut side and an open side keep the table's columns in line: every row ends where the others do.
TEST(Inference, TextTableKeepsItsColumnsWithWordsOnSides)
{
    ModelInference inference = ballBearingsThreeParameter();
    inference.eta.likelihoodRatio.upper = {std::nan(""), unboundedText};
    const std::string text = inferenceText(inference);
    std::vector<std::size_t> rowLengths;
    std::size_t start = text.find("  m ");
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        if (line.find(" .. ") != std::string::npos)
            rowLengths.push_back(line.size());
    }
    ASSERT_EQ(rowLengths.size(), 5u) << text;
    EXPECT_TRUE(std::all_of(rowLengths.begin(), rowLengths.end(), [&](std::size_t n) { return n == rowLengths[0]; }))
        << text;
    EXPECT_NE(text.find("\n                Fisher upper bound: cut at the smallest failure\n"), std::string::npos) << text;
}

TEST(Inference, CensoredDataHaveNoAndersonDarlingAndUnfittedModelsNoBounds)
{
    LifeData data;
    data.values = data.upper = {10, 20, 30, 40};
    data.states = {State::failure, State::suspension, State::failure, State::failure};
    data.counts = {1, 1, 1, 1};
    WeibullFit fit;
    fit.status = FitStatus::ok;
    fit.m = 2;
    fit.eta = 35;
    fit.gamma = 0;
    fit.logLikelihood = -13;
    const PreparedData prepared = prepareLifeData(data);
    const ModelInference inference = inferModel(prepared, fit, false, request(BoundsChoice::none, 100, 1));
    EXPECT_FALSE(inference.goodnessOfFit.defined);
    EXPECT_NE(inference.goodnessOfFit.reason.find("censored"), std::string::npos);

    fit.status = FitStatus::noInteriorMaximum;
    EXPECT_FALSE(inferModel(prepared, fit, true, request(BoundsChoice::both, 0, 1)).available);
}

TEST(BoundsOptions, ReplaceDefaultsAddRepeatsAndRefuseBadValues)
{
    AnalysisRequest analysis;
    bool bLifeGiven = false;
    std::string error;
    EXPECT_TRUE(applyBoundsOption("--b-life", "5", analysis, bLifeGiven, error));
    EXPECT_TRUE(applyBoundsOption("--b-life", "50", analysis, bLifeGiven, error));
    EXPECT_EQ(analysis.bLifePercents, (std::vector<double>{5, 50}));
    EXPECT_TRUE(applyBoundsOption("--bounds", "lr", analysis, bLifeGiven, error));
    EXPECT_EQ(analysis.bounds, BoundsChoice::likelihoodRatio);
    EXPECT_TRUE(applyBoundsOption("--seed", "18446744073709551615", analysis, bLifeGiven, error));
    EXPECT_EQ(analysis.seed, UINT64_MAX);

    for (const auto& [name, value] : std::vector<std::pair<std::string, const char*>>{
             {"--confidence", "0.3"}, {"--confidence", "1"}, {"--b-life", "100"}, {"--b-life", "0"},
             {"--bounds", "all"}, {"--bootstrap", "1e3"}, {"--bootstrap", "-1"}, {"--bootstrap", "1000001"},
             {"--seed", "18446744073709551616"}, {"--at", "12x"}}) {
        error.clear();
        EXPECT_FALSE(applyBoundsOption(name, value, analysis, bLifeGiven, error)) << name << " " << value;
        EXPECT_FALSE(error.empty());
    }
}

// The goodness of fit and the bounds as one analysis gives them: the bootstrap's p-value repeats
// and does not depend on the threads, tells a Weibull sample from a lognormal one, and the words
// of the sides and notes reach the JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "anderson_darling.h"
#include "bootstrap_goodness_of_fit.h"
#include "inference_json.h"
#include "life/bounds_options.h"
#include "life/bounds_text.h"
#include "model_inference.h"
#include "normal_quantile.h"
#include "random_stream.h"
#include "sorted_weibull_sample.h"

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

double bootstrapPValue(const std::vector<double>& values, unsigned threads, std::uint64_t seed = 99)
{
    const PreparedData data = complete(values);
    const WeibullFit fit = fitTwoParameter(data, 0, FitSettings{1});
    InferenceRequest asked = request(BoundsChoice::none, 200, threads);
    asked.seed = seed;
    const ModelInference inference = inferModel(data, fit, false, asked);
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

TEST(Bootstrap, RepeatsExactlyAndIsTheSameOnAnyThreadsAndDependsOnTheSeed)
{
    const std::vector<double> values = weibullValues(5, 30);
    const double once = bootstrapPValue(values, 1);
    EXPECT_EQ(once, bootstrapPValue(values, 2));
    EXPECT_EQ(once, bootstrapPValue(values, 3));
    EXPECT_EQ(once, bootstrapPValue(values, 1));
    // Recorded: 200 refits with seed 99; another seed draws other samples.
    EXPECT_EQ(once, (1.0 + 192) / 201);
    EXPECT_EQ(bootstrapPValue(values, 1, 100), (1.0 + 182) / 201);
}

// From 16,384 units on, the refits run one after another, each spread over the threads: the same
// bits as on one thread.
TEST(Bootstrap, LargeSamplesGiveTheSameOnOneAndThreeThreads)
{
    BootstrapRequest large{{1.5, 100, 0}, false, 20000, 0.34, 8, 5, 1};
    const BootstrapResult one = bootstrapAndersonDarling(large);
    large.threads = 3;
    const BootstrapResult three = bootstrapAndersonDarling(large);
    EXPECT_EQ(one.pValue, three.pValue);
    EXPECT_EQ(one.used, 8u);
    EXPECT_EQ(one.pValue, (1.0 + 5) / 9); // recorded
}

// The shipped examples/ball_bearings.dat at its recorded two-parameter maximum and A^2, with the
// program's default seed: a change in the seeding, the draws, the refits or the count shows here.
TEST(Bootstrap, PinnedPValueOfTheBallBearings)
{
    const BootstrapRequest bearings{{2.1020588751946701, 81.878334051630304, 0}, false, 23, 0.3286097529217713,
                                    1000, 20240613, 2};
    const BootstrapResult result = bootstrapAndersonDarling(bearings);
    EXPECT_EQ(result.used, 1000u);
    EXPECT_EQ(result.pValue, (1.0 + 522) / 1001);
    // scipy, 4000 samples drawn unit by unit (numpy default_rng(1)), each refitted with
    // weibull_min.fit(x, floc=0) and measured with weibull_min.cdf: 0.5436. The two estimates'
    // standard error together is 0.018.
    EXPECT_NEAR(result.pValue, 0.5436, 0.05);
}

// With m = 1 and eta = 1 the units are unit exponentials, whose smallest and largest of two have
// means 1/2 and 3/2; 40,000 samples give each to about 0.003 and 0.006 (one standard error). A
// spacing divided by one unit too many or too few moves them by 1/6 or more.
TEST(SortedWeibullSample, OrderStatisticsOfTwoHaveTheirMeans)
{
    ChunkedWork alone(0);
    const int samples = 40000;
    double smallest = 0, largest = 0;
    for (int b = 0; b < samples; ++b) {
        const PreparedData d = drawSortedWeibullSample({1, 1, 0}, 2, 7, static_cast<std::uint32_t>(b), alone);
        ASSERT_EQ(d.failureTimes.size(), 2u);
        smallest += d.failureTimes[0];
        largest += d.failureTimes[1];
    }
    EXPECT_NEAR(smallest / samples, 0.5, 0.0125);
    EXPECT_NEAR(largest / samples, 1.5, 0.025);
}

// A large sample: the model's distribution (Kolmogorov-Smirnov distance below its 1 % point), the
// same bits with helpers as without, and ascending with every unit counted.
TEST(SortedWeibullSample, LargeSampleFollowsTheModelOnAnyThreads)
{
    const WeibullEstimate model{2.5, 100, 30};
    const std::uint32_t n = 200000;
    ChunkedWork alone(0), shared(2);
    const PreparedData d = drawSortedWeibullSample(model, n, 99, 3, alone);
    const PreparedData again = drawSortedWeibullSample(model, n, 99, 3, shared);
    EXPECT_EQ(d.failureTimes, again.failureTimes);
    EXPECT_EQ(d.failureCounts, again.failureCounts);
    EXPECT_NE(d.failureTimes, drawSortedWeibullSample(model, n, 99, 4, alone).failureTimes);

    double seen = 0, distance = 0;
    for (std::size_t i = 0; i < d.failureTimes.size(); ++i) {
        if (i > 0) {
            ASSERT_LT(d.failureTimes[i - 1], d.failureTimes[i]) << i;
        }
        const double F = -std::expm1(-std::pow((d.failureTimes[i] - model.gamma) / model.eta, model.m));
        distance = std::max({distance, std::fabs(F - seen / n), std::fabs(F - (seen + d.failureCounts[i]) / n)});
        seen += d.failureCounts[i];
    }
    EXPECT_EQ(seen, n);
    EXPECT_EQ(d.failureUnits, n);
    EXPECT_EQ(d.distinctFailureTimes, d.failureTimes.size());
    EXPECT_LT(distance * std::sqrt(double(n)), 1.63);
}

// Draws so close that they round to one double are one value with a count, as prepared data keep them.
TEST(SortedWeibullSample, EqualDrawsBecomeCounts)
{
    ChunkedWork alone(0);
    const PreparedData d = drawSortedWeibullSample({1e14, 1, 0}, 10000, 1, 0, alone);
    double units = 0;
    for (std::size_t i = 0; i < d.failureTimes.size(); ++i) {
        if (i > 0) {
            ASSERT_LT(d.failureTimes[i - 1], d.failureTimes[i]);
        }
        units += d.failureCounts[i];
    }
    EXPECT_EQ(units, 10000);
    EXPECT_LT(d.failureTimes.size(), 2000u);
    EXPECT_EQ(d.largestTime, d.failureTimes.back());
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

// A cut side and an open side keep the table's columns in line: every row's two intervals stand
// where the others' do, and no row ends in blanks.
TEST(Inference, TextTableKeepsItsColumnsWithWordsOnSides)
{
    ModelInference inference = ballBearingsThreeParameter();
    inference.eta.likelihoodRatio.upper = {std::nan(""), unboundedText};
    const std::string text = inferenceText(inference);
    std::vector<std::pair<std::size_t, std::size_t>> separators;
    std::size_t start = text.find("  m ");
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        EXPECT_NE(line.back(), ' ') << line;
        const std::size_t first = line.find(" .. ");
        if (first != std::string::npos)
            separators.emplace_back(first, line.find(" .. ", first + 1));
    }
    ASSERT_EQ(separators.size(), 5u) << text;
    EXPECT_TRUE(std::all_of(separators.begin(), separators.end(), [&](const auto& s) { return s == separators[0]; }))
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

// The weights of the grouped sum pinned to the bit on the shipped examples/ball_bearings.dat (whose
// 68.64 is a pair) at fixed parameters, and with every distinct time given a count of 3: a change in
// the weights, in ln F or in the order of the sum shows here even where a reference's 1e-12 would not.
TEST(AndersonDarling, PinnedBitsOfTheBallBearings)
{
    const PreparedData data = complete({17.88, 28.92, 33.00, 41.52, 42.12, 45.60, 48.48, 51.84,
                                        51.96, 54.12, 55.56, 67.80, 68.64, 68.64, 68.88, 84.12,
                                        93.12, 98.64, 105.12, 105.84, 127.92, 128.04, 173.40});
    const WeibullEstimate twoParameter{2.1020588751946701, 81.878334051630304, 0};
    EXPECT_EQ(andersonDarling(data.failureTimes, data.failureCounts,
                              {1.5942990479677814, 63.880049724205641, 14.875914780696078}),
              0.22148846414545531);
    EXPECT_EQ(andersonDarling(data.failureTimes, data.failureCounts, twoParameter), 0.3286097529217713);

    // mpmath at 40 digits, the 22 distinct times each 3 times over (66 units):
    //   x = sorted(t * 3); F = [1 - exp(-(v / eta)**m) for v in x]
    //   -n - sum((2*i + 1) * (log(F[i]) + log(1 - F[n-1-i])) for i in range(n)) / n
    //   = 0.99802055727868990999
    const std::vector<double> threes(data.failureCounts.size(), 3.0);
    const double withCounts = andersonDarling(data.failureTimes, threes, twoParameter);
    EXPECT_NEAR(withCounts, 0.99802055727868990999, 1e-13);
    EXPECT_EQ(withCounts, 0.99802055727867867);
}

// The comparison of distributions as a whole: the document's shape and order, the Weibull entries
// as the plain analysis's bits, the exponential's boundary location without bounds, and the same
// bits for counts against lines and for one thread against three.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <string>

#include "analysis_json.h"
#include "life_analysis.h"
#include "life_data_file.h"

using namespace lifedata;
using json = nlohmann::json;

namespace {

AnalysisRequest comparison(std::vector<std::string> names, unsigned threads = 1)
{
    AnalysisRequest request;
    request.distributions = std::move(names);
    request.threads = threads;
    request.at = {500};
    return request;
}

json comparisonJson(const LifeData& data, const AnalysisRequest& request)
{
    return json::parse(analysisJson(analyseLifeData(data, request), request));
}

LifeData ovarian() { return readLifeDataFile(VARNEL_EXAMPLES "/ovarian_suspensions.dat"); }

// Records with counts, and the same units written one per line in another order.
void addRecord(LifeData& data, double low, double high, State state, std::uint32_t count)
{
    data.values.push_back(low);
    data.upper.push_back(high);
    data.states.push_back(state);
    data.counts.push_back(count);
}

LifeData countedSample(bool lineByLine)
{
    struct Record {
        double low, high;
        State state;
        std::uint32_t count;
    };
    const Record records[] = {{12, 12, State::failure, 3},   {20, 20, State::failure, 1},  {27.5, 27.5, State::failure, 2},
                              {41, 41, State::failure, 1},   {30, 30, State::suspension, 4}, {55, 55, State::suspension, 2},
                              {10, 25, State::interval, 3},  {33, 48, State::interval, 1}};
    LifeData data;
    // Line by line, the records come in reverse order, each unit on its own line.
    for (std::size_t k = 0; k < std::size(records); ++k) {
        const Record& r = records[lineByLine ? std::size(records) - 1 - k : k];
        if (!lineByLine) {
            addRecord(data, r.low, r.high, r.state, r.count);
            continue;
        }
        for (std::uint32_t i = 0; i < r.count; ++i)
            addRecord(data, r.low, r.high, r.state, 1);
    }
    return data;
}

} // namespace

TEST(DistributionComparison, DocumentIsTheDataAndTheRankedDistributions)
{
    const json document = comparisonJson(ovarian(), comparison(distributionNames()));
    std::vector<std::string> keys;
    for (auto it = document.begin(); it != document.end(); ++it)
        keys.push_back(it.key());
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"data", "distributions", "method", "nonParametric"}));
    const json& list = document["distributions"];
    ASSERT_EQ(list.size(), distributionNames().size());
    double previous = -INFINITY;
    bool unestimatedSeen = false;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const json& entry = list[i];
        for (const char* key : {"name", "parameters", "logLikelihood", "aicc", "bic", "status", "rank", "bounds",
                                "bLives", "reliability"})
            EXPECT_TRUE(entry.contains(key)) << entry["name"] << " lacks " << key;
        if (entry["rank"].is_null()) {
            // No estimate: null numbers, the status in words, and after every ranked one.
            unestimatedSeen = true;
            EXPECT_TRUE(entry["logLikelihood"].is_null() && entry["aicc"].is_null() && entry["bic"].is_null());
            EXPECT_NE(entry["status"], "ok");
            continue;
        }
        EXPECT_FALSE(unestimatedSeen) << entry["name"] << " is ranked after one without an estimate";
        EXPECT_EQ(entry["rank"], i + 1);
        EXPECT_GE(entry["aicc"].get<double>(), previous) << entry["name"];
        previous = entry["aicc"].get<double>();
    }
    // The three-parameter Weibull has no interior maximum on these data.
    EXPECT_EQ(list.back()["name"], "weibull3");
    EXPECT_TRUE(list.back()["parameters"]["m"].is_null());
}

TEST(DistributionComparison, WeibullEntriesAreThePlainAnalysisBits)
{
    const LifeData data = readLifeDataFile(VARNEL_EXAMPLES "/salinity_intervals.dat");
    AnalysisRequest plain;
    plain.threads = 1;
    plain.at = {500};
    const json weibull = json::parse(analysisJson(analyseLifeData(data, plain), plain));
    const json list = comparisonJson(data, comparison({"weibull2", "weibull3"}))["distributions"];
    for (const json& entry : list) {
        const json& model = weibull[entry["name"] == "weibull2" ? "twoParameter" : "threeParameter"];
        EXPECT_EQ(entry["parameters"]["m"], model["m"]);
        EXPECT_EQ(entry["parameters"]["eta"], model["eta"]);
        EXPECT_EQ(entry["logLikelihood"], model["logLikelihood"]);
        EXPECT_EQ(entry["aicc"], model["aicc"]);
        EXPECT_EQ(entry["bic"], model["bic"]);
        EXPECT_EQ(entry["bounds"], model["bounds"]);
        EXPECT_EQ(entry["bLives"], model["bLives"]);
        EXPECT_EQ(entry["reliability"], model["reliability"]);
    }
}

// With failures and suspensions the exponential's location is the smallest failure: a boundary
// estimate with no bounds, and the mean's bounds at that location.
TEST(DistributionComparison, ExponentialLocationAtTheSmallestFailureHasNoBounds)
{
    const json list = comparisonJson(ovarian(), comparison({"exponential2"}))["distributions"];
    ASSERT_EQ(list.size(), 1u);
    const json& entry = list[0];
    EXPECT_EQ(entry["status"], "location at the smallest failure");
    EXPECT_EQ(entry["parameters"]["gamma"], 59);
    const json& gamma = entry["bounds"]["gamma"];
    EXPECT_EQ(gamma["estimate"], 59);
    EXPECT_FALSE(gamma.contains("fisher") || gamma.contains("likelihoodRatio")) << gamma;
    const json& mean = entry["bounds"]["mean"];
    EXPECT_LT(mean["fisher"]["lower"].get<double>(), mean["estimate"].get<double>());
    EXPECT_GT(mean["likelihoodRatio"]["upper"].get<double>(), mean["estimate"].get<double>());
}

TEST(DistributionComparison, SameBitsForCountsAndLinesAndForThreads)
{
    const json counted = comparisonJson(countedSample(false), comparison(distributionNames(), 1));
    const json lines = comparisonJson(countedSample(true), comparison(distributionNames(), 1));
    const json threads = comparisonJson(countedSample(false), comparison(distributionNames(), 3));
    EXPECT_EQ(counted["distributions"], lines["distributions"]);
    EXPECT_EQ(counted, threads);
    EXPECT_EQ(counted["data"]["units"], lines["data"]["units"]);
}

TEST(DistributionComparison, RequestsOtherThanFreeMaximumLikelihoodAreRefused)
{
    const LifeData data = ovarian();
    AnalysisRequest request = comparison({"lognormal2"});
    request.method = EstimationMethod::rrx;
    EXPECT_THROW(analyseLifeData(data, request), DataError);
    request = comparison({"lognormal2"});
    request.shape = 2;
    EXPECT_THROW(analyseLifeData(data, request), DataError);
    request = comparison({"lognormal2"});
    request.bootstrap = 10;
    EXPECT_THROW(analyseLifeData(data, request), DataError);
    request = comparison({"lognormal9"});
    EXPECT_THROW(analyseLifeData(data, request), DataError);
}

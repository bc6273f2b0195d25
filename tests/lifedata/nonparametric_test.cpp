// The non-parametric estimates: Kaplan-Meier against R's survfit, Turnbull against a separate EM in
// R, Turnbull on data without intervals against Kaplan-Meier, counts against lines, the iteration
// cap, and the JSON member.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>

#include "analysis_json.h"
#include "kaplan_meier.h"
#include "life_data_file.h"
#include "nonparametric_estimate.h"
#include "turnbull.h"
#include "life_data_builders.h"

using namespace lifedata;

namespace {

struct Reference {
    double time;
    double survival;
    double lower;
    double upper;
};

PreparedData example(const char* name) { return prepareLifeData(readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/" + name)); }

void expectSteps(const NonParametricEstimate& estimate, const std::vector<Reference>& reference)
{
    ASSERT_EQ(estimate.steps.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const SurvivalStep& step = estimate.steps[i];
        EXPECT_EQ(step.time, reference[i].time);
        EXPECT_EQ(step.from, reference[i].time);
        EXPECT_NEAR(step.survival, reference[i].survival, 1e-14) << i;
        if (std::isnan(reference[i].lower)) {
            EXPECT_TRUE(std::isnan(step.lower) && std::isnan(step.upper)) << i;
        } else {
            EXPECT_NEAR(step.lower, reference[i].lower, 1e-13) << i;
            EXPECT_NEAR(step.upper, reference[i].upper, 1e-13) << i;
        }
    }
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void expectSameBits(const NonParametricEstimate& a, const NonParametricEstimate& b)
{
    ASSERT_EQ(a.steps.size(), b.steps.size());
    EXPECT_EQ(a.iterations, b.iterations);
    for (std::size_t i = 0; i < a.steps.size(); ++i) {
        const SurvivalStep& x = a.steps[i];
        const SurvivalStep& y = b.steps[i];
        EXPECT_TRUE(sameBits(x.from, y.from) && sameBits(x.time, y.time) && sameBits(x.survival, y.survival) &&
                    sameBits(x.lower, y.lower) && sameBits(x.upper, y.upper))
            << i;
    }
}

// Failures and suspensions tied at 10, 20 and 40, with counts, and the last unit failing at 60.
const LifeData tiedCounts{{10, 10, 20, 20, 30, 40, 40, 50, 60},
                          {10, 10, 20, 20, 30, 40, 40, 50, 60},
                          {State::failure, State::suspension, State::failure, State::suspension, State::failure,
                           State::failure, State::suspension, State::suspension, State::failure},
                          {3, 2, 1, 4, 2, 5, 1, 2, 3}};

} // namespace

TEST(KaplanMeier, MatchesSurvfitWithLogBounds)
{
    // R: library(survival); f <- survfit(Surv(futime, fustat) ~ 1, data = ovarian, conf.type = "log");
    //    i <- f$n.event > 0; cbind(f$time[i], f$surv[i], f$lower[i], f$upper[i])   (options(digits = 17))
    expectSteps(estimateNonParametric(example("ovarian_suspensions.dat")),
                {{59, 0.96153846153846156, 0.89038900677624222, 1},
                 {115, 0.92307692307692302, 0.82612943394515825, 1},
                 {156, 0.88461538461538458, 0.76995418372026136, 1},
                 {268, 0.84615384615384615, 0.71823784319173833, 0.99685130510425091},
                 {329, 0.80769230769230771, 0.66956126504685065, 0.97431989865733626},
                 {353, 0.76923076923076916, 0.62319352852007892, 0.94948992448065206},
                 {365, 0.73076923076923062, 0.57870194418864163, 0.92279570511512798},
                 {431, 0.68778280542986414, 0.52934472513351383, 0.89364296078639627},
                 {464, 0.64193061840120658, 0.47808004496174544, 0.86193708184144879},
                 {475, 0.59607843137254901, 0.42914950023920589, 0.82793873964553333},
                 {563, 0.54640522875816988, 0.37734020773683441, 0.79121882029197799},
                 {638, 0.49673202614379081, 0.32810882805311220, 0.75201483380073686}});
}

TEST(KaplanMeier, CountsAreWeightsFailuresBeforeSuspensionsAndNoBoundsAtZero)
{
    // R: t <- c(10,10,20,20,30,40,40,50,60); s <- c(1,0,1,0,1,1,0,0,1); w <- c(3,2,1,4,2,5,1,2,3);
    //    g <- survfit(Surv(t, s) ~ 1, weights = w, conf.type = "log"); rows with n.event > 0
    const double nan = std::nan("");
    expectSteps(kaplanMeier(prepareLifeData(tiedCounts), 0.95),
                {{10, 0.86956521739130432, 0.74226918909454387, 1},
                 {20, 0.82125603864734298, 0.67648498244198196, 0.99700880066849173},
                 {30, 0.69490895577852096, 0.51366255893064139, 0.94010834238436103},
                 {40, 0.37904124860646593, 0.20424045013176476, 0.70344668772742724},
                 {60, 0, nan, nan}});
}

TEST(KaplanMeier, CountsGiveTheBitsOfTheSameUnitsLineByLine)
{
    expectSameBits(estimateNonParametric(prepareLifeData(tiedCounts)),
                   estimateNonParametric(prepareLifeData(oneUnitPerLine(tiedCounts))));
}

TEST(Turnbull, MatchesAnIndependentEmOnSalinity)
{
    // R, a direct EM over every elementary cell between the distinct ends (each point {t} and each
    // open gap, the last to Inf), with no Turnbull intervals formed, run to a largest change of 1e-14
    // (415 iterations); the NPMLE's S is unique at the ends, where it is compared:
    //   A[i, j] <- if (exact[i]) point[j] && cl[j] == L[i]
    //              else if (point[j]) L[i] < cl[j] && cl[j] <= R[i] else L[i] <= cl[j] && cr[j] <= R[i]
    //   repeat { pn <- p * as.vector(t(A) %*% (1 / as.vector(A %*% p))) / n; ... }
    //   S <- function(y) sum(p[(point & cl > y) | (!point & cl >= y)]); for (y in ends) S(y)
    const NonParametricEstimate estimate = estimateNonParametric(example("salinity_intervals.dat"));
    EXPECT_EQ(estimate.method, NonParametricMethod::turnbull);
    EXPECT_TRUE(estimate.converged);
    EXPECT_EQ(estimate.statusText, "ok");
    const std::vector<std::pair<double, double>> survivalAt = {
        {12.6, 0.97750063473827598}, {12.8, 0.93250190421482837}, {15, 0.82861629565738226},
        {20, 0.79504388045241725},   {21.5, 0.73794739796071229}, {23.7, 0.68085091546900744},
        {26.1, 0.64646945764168173}, {26.2, 0.61208799981435613}, {29.1, 0.54332508415970482},
        {30, 0.50894362633237911},   {35, 0.3943362940389416},    {43.9, 0.33251538808755982},
        {45.7, 0.27069448213617803}, {47, 0.14705267023341437},   {49, 0}};
    ASSERT_EQ(estimate.steps.size(), survivalAt.size());
    for (std::size_t i = 0; i < survivalAt.size(); ++i) {
        EXPECT_EQ(estimate.steps[i].time, survivalAt[i].first) << i;
        EXPECT_NEAR(estimate.steps[i].survival, survivalAt[i].second, 1e-8) << i;
        EXPECT_TRUE(std::isnan(estimate.steps[i].lower) && std::isnan(estimate.steps[i].upper));
    }
}

TEST(Turnbull, WithoutIntervalsIsKaplanMeier)
{
    for (const PreparedData& data : {example("ovarian_suspensions.dat"), prepareLifeData(tiedCounts)}) {
        const NonParametricEstimate km = kaplanMeier(data, 0.95);
        const NonParametricEstimate npmle = turnbull(data, 100000);
        ASSERT_TRUE(npmle.converged);
        // Turnbull also has a support interval (t, infinity) after the last suspension, if any.
        ASSERT_GE(npmle.steps.size(), km.steps.size());
        for (std::size_t i = 0; i < km.steps.size(); ++i) {
            EXPECT_EQ(npmle.steps[i].time, km.steps[i].time);
            EXPECT_NEAR(npmle.steps[i].survival, km.steps[i].survival, 1e-8) << i;
        }
    }
}

TEST(Turnbull, CountsGiveTheBitsOfTheSameUnitsLineByLine)
{
    LifeData data = tiedCounts;
    for (double low : {0.0, 15.0, 25.0}) {
        data.values.push_back(low);
        data.upper.push_back(low + 20);
        data.states.push_back(State::interval);
        data.counts.push_back(4);
    }
    const NonParametricEstimate counted = estimateNonParametric(prepareLifeData(data));
    EXPECT_EQ(counted.method, NonParametricMethod::turnbull);
    expectSameBits(counted, estimateNonParametric(prepareLifeData(oneUnitPerLine(data))));
}

TEST(Turnbull, TheIterationCapIsAStatusNotAResult)
{
    const PreparedData data = example("salinity_intervals.dat");
    const NonParametricEstimate capped = turnbull(data, 3);
    EXPECT_FALSE(capped.converged);
    EXPECT_EQ(capped.iterations, 3u);
    EXPECT_EQ(capped.statusText,
              "not converged: the largest change of a probability was still above 1e-10 after 3 iterations");
    const NonParametricEstimate full = turnbull(data, 100000);
    EXPECT_TRUE(full.converged);
    EXPECT_LT(full.iterations, 100000u);
    EXPECT_TRUE(turnbull(data, full.iterations).converged);
}

TEST(Turnbull, SupportIntervalsHaveTheirLeftEnds)
{
    // (0, 10] and (5, 20] overlap in (5, 10]; a suspension at 30 beyond every end is (30, infinity).
    const LifeData data{{0, 5, 30}, {10, 20, 30}, {State::interval, State::interval, State::suspension}, {1, 1, 1}};
    const NonParametricEstimate estimate = estimateNonParametric(prepareLifeData(data));
    ASSERT_EQ(estimate.steps.size(), 2u);
    EXPECT_EQ(estimate.steps[0].from, 5);
    EXPECT_EQ(estimate.steps[0].time, 10);
    EXPECT_NEAR(estimate.steps[0].survival, 1.0 / 3, 1e-12);
    EXPECT_EQ(estimate.steps[1].from, 30);
    EXPECT_EQ(estimate.steps[1].time, HUGE_VAL);
    EXPECT_EQ(estimate.steps[1].survival, 0);
}

TEST(NonParametricJson, MembersAsDocumentedAndAbsentUnlessAsked)
{
    AnalysisRequest request;
    request.bounds = BoundsChoice::none;
    EXPECT_FALSE(nlohmann::json::parse(analysisJson(analyseLifeData(tiedCounts, request), request))
                     .contains("nonParametric"));

    request.nonParametric = true;
    const nlohmann::json km =
        nlohmann::json::parse(analysisJson(analyseLifeData(tiedCounts, request), request))["nonParametric"];
    EXPECT_EQ(km["method"], "kaplan-meier");
    EXPECT_EQ(km["status"], "ok");
    ASSERT_EQ(km["steps"].size(), 5u);
    EXPECT_EQ(km["steps"][0]["time"], 10);
    EXPECT_EQ(km["steps"][0]["survival"].get<double>(), 20.0 / 23);
    EXPECT_EQ(km["steps"][0]["upper"], 1);
    EXPECT_TRUE(km["steps"][4]["lower"].is_null() && km["steps"][4]["upper"].is_null());
    EXPECT_FALSE(km["steps"][0].contains("from"));

    const LifeData data{{0, 5, 30}, {10, 20, 30}, {State::interval, State::interval, State::suspension}, {1, 1, 1}};
    const nlohmann::json tb = nlohmann::json::parse(analysisJson(analyseLifeData(data, request), request))["nonParametric"];
    EXPECT_EQ(tb["method"], "turnbull");
    ASSERT_EQ(tb["steps"].size(), 2u);
    EXPECT_EQ(tb["steps"][0]["from"], 5);
    EXPECT_EQ(tb["steps"][0]["time"], 10);
    EXPECT_TRUE(tb["steps"][1]["time"].is_null());
    EXPECT_EQ(tb["steps"][1]["from"], 30);
    EXPECT_FALSE(tb["steps"][0].contains("lower") || tb["steps"][0].contains("upper"));
}

TEST(NonParametric, OneAndThreeThreadsGiveTheSameBits)
{
    // Enough records for the preparation to share its sort among threads; the estimates themselves run
    // on the calling thread in the prepared order.
    LifeData data;
    std::uint64_t state = 7;
    const auto next = [&state] {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return static_cast<double>(state >> 11) * 0x1p-53;
    };
    for (int i = 0; i < 30000; ++i) {
        const double t = 1 + std::floor(1000 * next()) / 10;
        const bool interval = i % 7 == 0;
        data.values.push_back(interval ? t / 2 : t);
        data.upper.push_back(t);
        data.states.push_back(interval ? State::interval : i % 3 == 0 ? State::suspension : State::failure);
        data.counts.push_back(1 + i % 4);
    }
    LifeData points = data;
    for (std::size_t i = 0; i < points.states.size(); ++i) {
        if (points.states[i] == State::interval) {
            points.states[i] = State::suspension;
            points.values[i] = points.upper[i];
        }
    }
    for (const LifeData* d : {&data, &points}) {
        const NonParametricEstimate one = estimateNonParametric(prepareLifeData(*d, FitSettings{1}));
        ASSERT_TRUE(one.converged);
        expectSameBits(one, estimateNonParametric(prepareLifeData(*d, FitSettings{3})));
    }
}

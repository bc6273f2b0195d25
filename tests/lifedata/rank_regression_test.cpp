// Rank regression against least squares computed independently with numpy on the adjusted ranks,
// its statuses on data built to have no maximum of r^2, and the results that must not change:
// counts against the same units line by line, and any number of threads.
//
// The references come from one numpy 1.24 script: the adjusted ranks by Johnson's recurrence over
// the units in time order (failures first at equal times), F = (rank - 0.3)/(N + 0.4),
// x = numpy.log(t - gamma), y = numpy.log(-numpy.log(1 - F)), then
//   rry: b, a = numpy.polyfit(x, y, 1); m = b; eta = numpy.exp(-a / b)
//   rrx: b, a = numpy.polyfit(y, x, 1); m = 1 / b; eta = numpy.exp(a)
//   r^2 = numpy.corrcoef(x, y)[0, 1] ** 2
// and the three-parameter gamma by scipy.optimize.brentq on the sign of d r^2 / d gamma
// (xtol 1e-14 x1, rtol 1e-15).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "life_analysis.h"
#include "life_data_file.h"
#include "rank_regression.h"

using namespace lifedata;

namespace {

LifeData example(const char* name) { return readLifeDataFile(std::string(VARNEL_EXAMPLES) + "/" + name); }

LifeData records(std::vector<double> times, std::vector<State> states, std::vector<std::uint32_t> counts = {})
{
    LifeData data;
    data.values = data.upper = times;
    data.states = states;
    data.counts = counts.empty() ? std::vector<std::uint32_t>(times.size(), 1) : counts;
    return data;
}

Analysis regress(const LifeData& data, EstimationMethod method, ModelChoice model = ModelChoice::both,
                 unsigned threads = 0)
{
    AnalysisRequest request;
    request.method = method;
    request.model = model;
    request.threads = threads;
    return analyseLifeData(data, request);
}

void expectRelative(double actual, double reference, double tolerance, const char* what)
{
    EXPECT_NEAR(actual, reference, tolerance * std::fabs(reference)) << what;
}

// Least squares on the same points agree to the last few bits.
void expectLine(const WeibullFit& fit, double m, double eta, double rSquared)
{
    ASSERT_EQ(fit.status, FitStatus::ok) << fit.statusText;
    expectRelative(fit.m, m, 1e-13, "m");
    expectRelative(fit.eta, eta, 1e-13, "eta");
    expectRelative(fit.rSquared, rSquared, 1e-13, "r^2");
}

// gamma is bracketed to 1e-10 of x1 - gamma; m and eta follow it.
void expectThreeParameter(const WeibullFit& fit, double x1, double gamma, double m, double eta, double rSquared)
{
    ASSERT_EQ(fit.status, FitStatus::ok) << fit.statusText;
    EXPECT_NEAR(fit.gamma, gamma, 1e-10 * (x1 - gamma));
    expectRelative(fit.m, m, 1e-9, "m");
    expectRelative(fit.eta, eta, 1e-9, "eta");
    expectRelative(fit.rSquared, rSquared, 1e-13, "r^2");
}

TEST(RankRegression, HandWorkedRanksWithSuspensionsAndACount)
{
    // 1 F, 2 S, 3 F (2 units), 5 S, 6 F: ranks 1, 2.2, 3.4 and 5.2 (worked by hand for the plot).
    const LifeData data = records({1, 2, 3, 5, 6}, {State::failure, State::suspension, State::failure,
                                                    State::suspension, State::failure},
                                  {1, 1, 2, 1, 1});
    expectLine(regress(data, EstimationMethod::rrx, ModelChoice::twoParameter).twoParameter, 1.4888557270128084,
               4.669738222727104, 0.93746169436930926);
    expectLine(regress(data, EstimationMethod::rry, ModelChoice::twoParameter).twoParameter, 1.3957452125168761,
               4.8422711310749005, 0.93746169436930926);
}

TEST(RankRegression, PublishedSmallSampleWithSuspensions)
{
    // The ovarian cancer data (12 deaths, 14 censored), as the example file gives it.
    const LifeData data = example("ovarian_suspensions.dat");
    const Analysis x = regress(data, EstimationMethod::rrx), y = regress(data, EstimationMethod::rry);
    expectLine(x.twoParameter, 1.3512021754609902, 910.10747828502338, 0.97874239780050665);
    expectLine(y.twoParameter, 1.322478857123949, 932.74759782112028, 0.97874239780050665);
    // A negative gamma: the maximum of r^2 lies below 0.
    expectThreeParameter(x.threeParameter.fit, 59, -44.332600128832745, 1.6748511645262014, 869.11433576869672,
                         0.98171296044102951);
    expectThreeParameter(y.threeParameter.fit, 59, -44.332600128832745, 1.6442230950251202, 884.01722771879099,
                         0.98171296044102951);
    // Rank regression gives estimates only, and no likelihood comparison.
    EXPECT_FALSE(x.twoParameterInference.maximumLikelihood);
    EXPECT_FALSE(x.twoParameterInference.m.hasFisher || x.twoParameterInference.m.hasLikelihoodRatio);
    EXPECT_FALSE(x.likelihoodRatio.available);
}

TEST(RankRegression, ThreeParametersOnACompleteSample)
{
    const LifeData data = example("ball_bearings.dat");
    const Analysis x = regress(data, EstimationMethod::rrx), y = regress(data, EstimationMethod::rry);
    expectLine(x.twoParameter, 2.2478925550254112, 80.972351788531384, 0.97034392089596222);
    expectLine(y.twoParameter, 2.1812288755962101, 81.577574272937767, 0.97034392089596222);
    expectThreeParameter(x.threeParameter.fit, 17.88, 8.172745110097722, 1.8553158172408946, 72.145665375601567,
                         0.97813451061621304);
    expectThreeParameter(y.threeParameter.fit, 17.88, 8.172745110097722, 1.8147484289354472, 72.623342657387795,
                         0.97813451061621304);
    // r^2 does not depend on the axis, so neither does gamma.
    EXPECT_EQ(x.threeParameter.fit.gamma, y.threeParameter.fit.gamma);
}

TEST(RankRegression, NoMaximumStatuses)
{
    // Failure times linear in y (10 + 2y at the six complete-sample ranks, to 2 decimals): r^2 still
    // rises as gamma falls, toward the correlation of t with y; numpy gives r^2 0.99992009 at -100,
    // 0.99999816 at -1e4 and 0.99999823 at -1e6.
    const LifeData linear = records({5.69, 7.65, 8.8, 9.71, 10.56, 11.59}, std::vector<State>(6, State::failure));
    const WeibullFit none = regress(linear, EstimationMethod::rry).threeParameter.fit;
    EXPECT_EQ(none.status, FitStatus::noFiniteMaximum);
    EXPECT_EQ(none.statusText, "no finite maximum");
    EXPECT_TRUE(std::isnan(none.gamma));

    // 1, 1.000001 and 1e6: the largest double below x1 = 1 is not close to it in ln(x1 - gamma),
    // and r^2 still rises there: numpy gives 0.97904589117195806 at 1 - 2^-52 and
    // 0.98147746898229449 at 1 - 2^-53.
    const LifeData rising = records({1, 1.000001, 1e6}, std::vector<State>(3, State::failure));
    const Analysis a = regress(rising, EstimationMethod::rrx);
    EXPECT_EQ(a.threeParameter.fit.status, FitStatus::noInteriorMaximum);
    EXPECT_EQ(a.threeParameter.fit.statusText, "no interior maximum: the correlation rises to the smallest failure");
    // The two-parameter fit is still given: numpy's polyfit(y, x, 1) at gamma 0.
    expectLine(a.twoParameter, 0.14736294285337792, 2248.7516913907912, 0.6752154665340091);
}

TEST(RankRegression, IntervalsAreRefusedButAZeroWidthIntervalIsAFailureTime)
{
    LifeData data = records({10, 20, 30, 40}, {State::failure, State::failure, State::failure, State::suspension});
    data.states[2] = State::interval; // 30 .. 30: an exact time
    const Analysis exact = regress(data, EstimationMethod::rrx);
    EXPECT_EQ(exact.twoParameter.status, FitStatus::ok);
    data.upper[1] = 25;
    data.states[1] = State::interval;
    try {
        regress(data, EstimationMethod::rry);
        ADD_FAILURE() << "an interval was fitted by regression";
    } catch (const DataError& error) {
        EXPECT_STREQ(error.what(), "record 2: rank regression needs exact failure times; use --method mle");
    }
    EXPECT_EQ(firstIntervalRecord(data), 1u);
    // Maximum likelihood takes the same data.
    EXPECT_EQ(analyseLifeData(data, {}).twoParameter.status, FitStatus::ok);
}

TEST(RankRegression, TheLocationMustBeBelowTheSmallestFailure)
{
    AnalysisRequest request;
    request.method = EstimationMethod::rrx;
    request.model = ModelChoice::twoParameter;
    request.gamma = 10;
    const LifeData data = records({10, 20, 30}, std::vector<State>(3, State::failure));
    EXPECT_THROW(analyseLifeData(data, request), DataError);
    request.gamma = 9;
    const WeibullFit fit = analyseLifeData(data, request).twoParameter;
    EXPECT_EQ(fit.gamma, 9);
    EXPECT_EQ(fit.status, FitStatus::ok);
}

// Units with times to `step` (0: as drawn), 30 % of them suspended.
LifeData syntheticUnits(std::size_t units, double step)
{
    std::mt19937_64 random(7);
    std::weibull_distribution<double> life(1.7, 500);
    std::uniform_real_distribution<double> uniform(0, 1);
    LifeData data;
    for (std::size_t i = 0; i < units; ++i) {
        const double drawn = life(random);
        const double t = step > 0 ? std::round(drawn / step) * step + step : drawn;
        const State state = uniform(random) < 0.3 ? State::suspension : State::failure;
        data.values.push_back(t);
        data.upper.push_back(t);
        data.states.push_back(state);
        data.counts.push_back(1);
    }
    return data;
}

void expectSameBits(const WeibullFit& a, const WeibullFit& b)
{
    EXPECT_EQ(a.status, b.status);
    for (auto [p, q] : {std::pair{a.m, b.m}, {a.eta, b.eta}, {a.gamma, b.gamma}, {a.rSquared, b.rSquared}})
        EXPECT_EQ(std::memcmp(&p, &q, sizeof p), 0) << p << " " << q;
}

TEST(RankRegression, CountsGiveTheSameBitsAsTheUnitsLineByLine)
{
    // Few distinct times, so that the counts are large.
    const LifeData lines = syntheticUnits(30000, 1);
    std::map<std::pair<double, State>, std::uint32_t> merged;
    for (std::size_t i = 0; i < lines.values.size(); ++i)
        ++merged[{lines.values[i], lines.states[i]}];
    LifeData counted;
    for (const auto& [record, count] : merged) {
        counted.values.push_back(record.first);
        counted.upper.push_back(record.first);
        counted.states.push_back(record.second);
        counted.counts.push_back(count);
    }
    ASSERT_LT(counted.values.size(), lines.values.size() / 3);
    for (EstimationMethod method : {EstimationMethod::rrx, EstimationMethod::rry}) {
        const Analysis a = regress(lines, method), b = regress(counted, method);
        ASSERT_EQ(a.threeParameter.fit.status, FitStatus::ok) << a.threeParameter.fit.statusText;
        expectSameBits(a.twoParameter, b.twoParameter);
        expectSameBits(a.threeParameter.fit, b.threeParameter.fit);
    }
}

TEST(RankRegression, ThreadsNeverChangeABit)
{
    // Distinct times: enough records for the helpers to share the sums.
    const LifeData data = syntheticUnits(60000, 0);
    for (EstimationMethod method : {EstimationMethod::rrx, EstimationMethod::rry}) {
        const Analysis one = regress(data, method, ModelChoice::both, 1);
        ASSERT_EQ(one.threeParameter.fit.status, FitStatus::ok) << one.threeParameter.fit.statusText;
        const Analysis three = regress(data, method, ModelChoice::both, 3);
        expectSameBits(one.twoParameter, three.twoParameter);
        expectSameBits(one.threeParameter.fit, three.threeParameter.fit);
    }
}

} // namespace

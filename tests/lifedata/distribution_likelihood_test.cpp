// The general likelihood over any distribution: the Weibull family through it against the Weibull
// likelihood of its own, each family's derivatives against its values, and the bits that must not
// change with counts written line by line or with the number of threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

#include "distribution.h"
#include "distribution_likelihood.h"
#include "weibull_likelihood.h"
#include "life_data_builders.h"

using namespace lifedata;

namespace {

// Failures, suspensions and intervals, one of them from 0, one with a count.
LifeData censoredIntervalSample()
{
    LifeData data;
    for (double t : {31.0, 47.5, 58.0, 73.2, 95.0, 131.0})
        addRecord(data, t, t, State::failure, 1);
    addRecord(data, 60, 60, State::suspension, 3);
    addRecord(data, 150, 150, State::suspension, 1);
    addRecord(data, 0, 40, State::interval, 2);
    addRecord(data, 80, 110, State::interval, 1);
    addRecord(data, 120, 400, State::interval, 1);
    return data;
}

void expectClose(double actual, double reference, const char* what)
{
    EXPECT_NEAR(actual, reference, 1e-12 * (1 + std::fabs(reference))) << what;
}

} // namespace

TEST(DistributionLikelihood, WeibullFamilyMatchesTheWeibullLikelihood)
{
    const PreparedData data = prepareLifeData(censoredIntervalSample());
    const auto weibull3 = makeDistribution("weibull3");
    const auto weibull2 = makeDistribution("weibull2");
    ASSERT_TRUE(weibull3 && weibull2);
    for (double gamma : {0.0, 12.5}) {
        const double m = 1.7, eta = 90;
        const LikelihoodDerivatives reference = evaluateLikelihood(data, m, eta, gamma, 2, {});
        const double p[3] = {std::log(m), std::log(eta), gamma};
        const PointTerms general = distributionLikelihood(*weibull3, data, p, 2, {});
        expectClose(general.value, reference.value, "value");
        for (int i = 0; i < 3; ++i) {
            expectClose(general.gradient[i], reference.gradient[i], "gradient");
            for (int j = 0; j < 3; ++j)
                expectClose(general.hessian[i][j], reference.hessian[i][j], "Hessian");
        }
        if (gamma != 0)
            continue;
        const PointTerms two = distributionLikelihood(*weibull2, data, p, 2, {});
        EXPECT_EQ(two.value, general.value);
        EXPECT_EQ(two.hessian[0][1], general.hessian[0][1]);
        EXPECT_EQ(two.gradient[2], 0);
    }
}

// Every family's gradient and Hessian against central differences of its values and gradient, on
// data with every kind of record: a wrong sign or a missing term shows far above the differences'
// error.
TEST(DistributionLikelihood, DerivativesOfEveryFamilyMatchDifferences)
{
    const PreparedData data = prepareLifeData(censoredIntervalSample());
    const struct {
        const char* name;
        double parameters[3];
    } cases[] = {
        {"weibull3", {1.7, 90, 12.5}},   {"lognormal2", {4.5, 0.8}},   {"lognormal3", {4.3, 0.9, 12.5}},
        {"exponential1", {100}},         {"exponential2", {90, 12.5}}, {"normal", {100, 60}},
        {"loglogistic", {90, 2}},        {"sev", {120, 50}},           {"gamma", {2.5, 40}},
    };
    for (const auto& c : cases) {
        const auto f = makeDistribution(c.name);
        if (!f)
            continue; // a family not yet built
        SCOPED_TRACE(c.name);
        const std::size_t k = f->parameterCount();
        double p[3] = {};
        f->toCoordinates(c.parameters, p);
        const PointTerms at = distributionLikelihood(*f, data, p, 2, {});
        ASSERT_TRUE(std::isfinite(at.value));
        for (std::size_t i = 0; i < k; ++i) {
            const double h = 1e-5 * std::max(1.0, std::fabs(p[i]));
            double plus[3] = {p[0], p[1], p[2]}, minus[3] = {p[0], p[1], p[2]};
            plus[i] += h;
            minus[i] -= h;
            const PointTerms up = distributionLikelihood(*f, data, plus, 1, {});
            const PointTerms down = distributionLikelihood(*f, data, minus, 1, {});
            const double slope = (up.value - down.value) / (2 * h);
            EXPECT_NEAR(at.gradient[i], slope, 1e-6 * (1 + std::fabs(slope))) << "gradient " << i;
            for (std::size_t j = 0; j < k; ++j) {
                const double curvature = (up.gradient[j] - down.gradient[j]) / (2 * h);
                EXPECT_NEAR(at.hessian[i][j], curvature, 1e-5 * (1 + std::fabs(curvature))) << "Hessian " << i << j;
            }
        }
    }
}

// A count and the same units line by line merge into the same records; 1 and 3 threads add the
// same chunks in the same order. Enough records that the helpers take part.
TEST(DistributionLikelihood, SameBitsForCountsAndForThreads)
{
    std::mt19937_64 random(19);
    std::lognormal_distribution<double> life(4.5, 0.7);
    LifeData counted, lines;
    for (int i = 0; i < 30000; ++i) {
        const double t = std::round(life(random) * 10) / 10;
        const State state = i % 3 == 0 ? State::suspension : (i % 7 == 0 ? State::interval : State::failure);
        const double low = state == State::interval ? std::floor(t / 10) * 10 : t;
        const double high = state == State::interval ? low + 10 : t;
        const std::uint32_t count = 1 + static_cast<std::uint32_t>(i % 3);
        addRecord(counted, low, high, state, count);
        for (std::uint32_t u = 0; u < count; ++u)
            addRecord(lines, low, high, state, 1);
    }
    for (const char* name : {"lognormal3", "normal", "loglogistic", "gamma"}) {
        const auto f = makeDistribution(name);
        if (!f)
            continue;
        SCOPED_TRACE(name);
        const double p[3] = {4.4, -0.3, 1.5};
        const PointTerms one = distributionLikelihood(*f, prepareLifeData(counted), p, 2, {1, nullptr});
        const PointTerms three = distributionLikelihood(*f, prepareLifeData(counted), p, 2, {3, nullptr});
        const PointTerms lined = distributionLikelihood(*f, prepareLifeData(lines), p, 2, {3, nullptr});
        for (const PointTerms* other : {&three, &lined}) {
            EXPECT_EQ(std::memcmp(&one, other, sizeof one), 0);
        }
    }
}

// A family's batch forms once what the records share; each record's terms must stay the bits of the
// one-record path (which the bounds and the curves use), also at and below a location.
TEST(DistributionLikelihood, BatchesAreTheRecordsOneByOne)
{
    const double times[] = {0.7, 1.5, 2.0, 31.0, 95.5, 1e-3, 4000.0};
    const double counts[] = {1, 2, 1, 5, 1, 3, 1};
    const std::size_t size = std::size(times);
    for (const std::string& name : distributionNames()) {
        SCOPED_TRACE(name);
        const auto f = makeDistribution(name);
        double p[3] = {0.9, 1.1, 1.5}; // a location of 1.5 puts the first records below it
        if (f->locationIndex() != noParameter)
            p[f->locationIndex()] = f->densityFiniteAtLocation() ? 2.0 : 1.5;
        for (int order = 0; order <= 2; ++order) {
            PointTerms batch = f->sumLogDensities(times, counts, size, p, order), single;
            for (std::size_t i = 0; i < size; ++i)
                addWeightedTerms(single, f->logDensity(times[i], p, order), counts[i], order);
            EXPECT_EQ(std::memcmp(&batch, &single, sizeof batch), 0) << "densities, order " << order;
            batch = f->sumLogSurvivals(times, counts, size, p, order);
            single = PointTerms{};
            for (std::size_t i = 0; i < size; ++i)
                addWeightedTerms(single, f->logSurvival(times[i], p, order), counts[i], order);
            EXPECT_EQ(std::memcmp(&batch, &single, sizeof batch), 0) << "survivals, order " << order;
        }
    }
}

// Every family's quantile is its survival's inverse, far into both tails, and its gradient in p
// matches differences: what the B-lives and their bounds rest on.
TEST(DistributionLikelihood, QuantilesInvertTheSurvival)
{
    const struct {
        const char* name;
        double parameters[3];
    } cases[] = {
        {"weibull3", {1.7, 90, 12.5}}, {"lognormal3", {4.3, 0.9, 12.5}}, {"exponential2", {90, 12.5}},
        {"normal", {100, 60}},         {"loglogistic", {90, 2}},         {"sev", {120, 50}},
        {"gamma", {2.5, 40}},          {"gamma", {0.3, 40}},             {"gamma", {400, 0.5}},
    };
    for (const auto& c : cases) {
        const auto f = makeDistribution(c.name);
        SCOPED_TRACE(c.name);
        const std::size_t k = f->parameterCount();
        double p[3] = {};
        f->toCoordinates(c.parameters, p);
        for (double P : {1e-9, 0.1, 0.5, 0.9, 1 - 1e-9}) {
            double gradient[3] = {};
            const double t = f->quantile(P, p, gradient);
            const double logS = f->logSurvival(t, p, 0).value;
            EXPECT_NEAR(logS, std::log1p(-P), 1e-12 * std::max(1.0, std::fabs(logS))) << P;
            if (P < 1e-3 || P > 1 - 1e-3)
                continue;
            for (std::size_t i = 0; i < k; ++i) {
                const double h = 1e-6;
                double plus[3] = {p[0], p[1], p[2]}, minus[3] = {p[0], p[1], p[2]};
                plus[i] += h;
                minus[i] -= h;
                const double slope = (f->quantile(P, plus, nullptr) - f->quantile(P, minus, nullptr)) / (2 * h);
                EXPECT_NEAR(gradient[i], slope, 1e-6 * (1 + std::fabs(slope))) << P << " " << i;
            }
        }
    }
}

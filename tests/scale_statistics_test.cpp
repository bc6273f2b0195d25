// The scale parameter, the derived statistics and the gamma function.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "estimation_state.h"
#include "fake_host.h"
#include "scale_statistics.h"

namespace {

TEST(ScaleStatistics, ScaleOfOneTwoThree)
{
    resetHostAndState();
    double values[] = {1, 2, 3};
    state.samples = values;
    state.n = 3;
    EXPECT_EQ(scaleParameter(1), 2.0);
    EXPECT_NEAR(scaleParameter(2), 14.0 / 3.0, 1e-15);
    state.samples = nullptr;
}

void expectStatistics(double m, double t0, double gamma, double mu, double sigma2, double xi, double tm)
{
    resetHostAndState();
    state.m = m;
    state.t0 = t0;
    state.gamma = gamma;
    computeStatistics();
    EXPECT_NEAR(state.mu, mu, 5e-11) << "m " << m;
    EXPECT_NEAR(state.sigma2, sigma2, 5e-11) << "m " << m;
    EXPECT_NEAR(state.xi, xi, 5e-11) << "m " << m;
    EXPECT_EQ(state.tm == 0.0, tm == 0.0) << "m " << m;
    EXPECT_NEAR(state.tm, tm, 5e-11) << "m " << m;
}

TEST(ScaleStatistics, StatisticsOfThreeDistributions)
{
    expectStatistics(1, 2, 0, 2, 4, 1.38629436112, 0);
    expectStatistics(2, 4, 1, 2.77245385091, 0.858407346410, 2.66510922232, 2.41421356237);
    // The mode of a shape at or below 1 is the number zero, not gamma.
    expectStatistics(0.5, 1, 10, 12, 20, 10.4804530139, 0);
}

TEST(ScaleStatistics, GammaFunction)
{
    EXPECT_NEAR(gammaFunction(1.5), 0.886226925452758, 1e-14);
    EXPECT_NEAR(gammaFunction(2), 1.0, 1e-14);
    EXPECT_NEAR(gammaFunction(3), 2.0, 2e-14);
    EXPECT_NEAR(gammaFunction(10) / 362880.0, 1.0, 1e-14);
    EXPECT_NEAR(gammaFunction(8) / 5040.0, 1.0, 1e-14);
    for (double x = 1.0; x < 25.0; x += 0.37)
        EXPECT_NEAR(gammaFunction(x) / std::tgamma(x), 1.0, 2e-14) << x;
}

TEST(ScaleStatistics, GammaFunctionAlwaysEnds)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isnan(gammaFunction(-inf)));
    EXPECT_TRUE(std::isnan(gammaFunction(std::nan(""))));
    EXPECT_TRUE(std::isnan(gammaFunction(-1e17)));
    // An argument whose shift would take longer than anyone waits ends as soon as the product overflows.
    EXPECT_TRUE(std::isnan(gammaFunction(-1e15)));
    // Arguments below 1 still shift as the series needs.
    EXPECT_NEAR(gammaFunction(0.5), std::sqrt(3.141592653589793), 1e-14);
}

} // namespace

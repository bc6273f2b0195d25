// The location search: the fit's sign rule and every way the search can end.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "estimation_state.h"
#include "fake_host.h"
#include "location_search.h"
#include "plotting_position.h"

namespace {

class LocationSearch : public ::testing::Test {
protected:
    void hold(std::vector<double> values, int fi)
    {
        resetHostAndState();
        sample = std::move(values);
        state.samples = sample.data();
        state.n = static_cast<std::uint32_t>(sample.size());
        state.Fi = fi;
        selectRankFunction();
    }
    void TearDown() override { state.samples = nullptr; }

    std::vector<double> sample;
};

const std::vector<double> bearings = {17.88, 28.92, 33.00, 41.52, 42.12, 45.60, 48.48, 51.84,
                                      51.96, 54.12, 55.56, 67.80, 68.64, 68.64, 68.88, 84.12,
                                      93.12, 98.64, 105.12, 105.84, 127.92, 128.04, 173.40};

TEST_F(LocationSearch, BisectionFindsTheChangeOfBend)
{
    for (int fi : {1, 3, 4}) {
        hold(bearings, fi);
        double r2 = 0;
        ASSERT_EQ(weibullPlotFit(0, &r2), -1);
        ASSERT_EQ(weibullPlotFit(0.99 * 17.88, &r2), 1);
        EXPECT_GT(r2, 0.0);
        EXPECT_LE(r2, 1.0);

        const double gamma = findLocationParameter();
        EXPECT_GT(gamma, 0);
        EXPECT_LT(gamma, 0.99 * 17.88);
        // After 64 halvings the bracket is a few doubles wide around the change of sign.
        EXPECT_EQ(weibullPlotFit(gamma * (1 - 1e-6), &r2), -1) << fi;
        EXPECT_EQ(weibullPlotFit(gamma * (1 + 1e-6), &r2), 1) << fi;
    }
}

TEST_F(LocationSearch, EndsOfTheRange)
{
    // Already bending upwards at 0.
    hold({1, 2, 3}, 1);
    EXPECT_EQ(findLocationParameter(), 0.0);

    // Still bending downwards at 0.99 times the smallest value.
    hold({1, 1.1, 5, 20}, 1);
    EXPECT_EQ(findLocationParameter(), 0.99);

    // A smallest value of 0 meets ln 0 at both ends.
    hold({0, 1, 2}, 1);
    double r2 = 0;
    EXPECT_EQ(weibullPlotFit(0, &r2), -1);
    EXPECT_EQ(findLocationParameter(), 0.0);
}

TEST_F(LocationSearch, MethodTwoAlwaysGivesTheUpperEnd)
{
    // Its plotting positions 0 and 1 make y infinite at both ends: every fit is NaN and counts as negative.
    for (const std::vector<double>& values : {bearings, std::vector<double>{1, 2, 3}, std::vector<double>{5, 5, 5, 9}}) {
        hold(values, 2);
        double r2 = 0;
        EXPECT_EQ(weibullPlotFit(0, &r2), -1);
        EXPECT_TRUE(std::isnan(r2));
        EXPECT_EQ(findLocationParameter(), 0.99 * values[0]);
    }
}

} // namespace

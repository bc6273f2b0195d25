// The plotting positions and the choice of formula.
#include <gtest/gtest.h>

#include <cmath>

#include "estimation_state.h"
#include "fake_host.h"
#include "plotting_position.h"

namespace {

double positionOf(int fi, std::uint32_t i)
{
    state.Fi = fi;
    selectRankFunction();
    return state.rankFunction(i);
}

TEST(PlottingPosition, EachMethodForThreeValues)
{
    resetHostAndState();
    state.n = 3;
    EXPECT_EQ(positionOf(1, 1), 0.25);
    EXPECT_EQ(positionOf(1, 2), 0.5);
    EXPECT_EQ(positionOf(1, 3), 0.75);
    EXPECT_EQ(positionOf(2, 1), 0.0);
    EXPECT_EQ(positionOf(2, 2), 0.5);
    EXPECT_EQ(positionOf(2, 3), 1.0);
    EXPECT_EQ(positionOf(3, 1), 0.7 / 3.4);
    EXPECT_EQ(positionOf(3, 3), (3 - 0.3) / (3 + 0.4));
    EXPECT_EQ(positionOf(4, 1), 0.5 / 3);
    EXPECT_EQ(positionOf(4, 2), 0.5);
    EXPECT_EQ(positionOf(4, 3), 2.5 / 3);

    // The formula reads n at every call.
    state.n = 9;
    EXPECT_EQ(positionOf(1, 1), 0.1);
}

TEST(PlottingPosition, OutOfRangeMethodKeepsTheFormula)
{
    resetHostAndState();
    state.n = 3;
    positionOf(3, 1);
    const RankFunction chosen = state.rankFunction;
    for (int fi : {0, 5, -1}) {
        state.Fi = fi;
        selectRankFunction();
        EXPECT_EQ(state.rankFunction, chosen);
    }
}

TEST(PlottingPosition, OrdinateAtTheEndsOfMethodTwo)
{
    resetHostAndState();
    state.n = 3;
    state.Fi = 2;
    selectRankFunction();
    EXPECT_EQ(weibullOrdinate(1), -INFINITY);
    EXPECT_EQ(weibullOrdinate(3), INFINITY);
    EXPECT_EQ(weibullOrdinate(2), std::log(std::log(2.0)));
}

} // namespace

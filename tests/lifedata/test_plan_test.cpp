// Test plans against hand calculations, in both directions, with and without failures allowed.
#include <gtest/gtest.h>

#include <cmath>

#include "life_data.h"
#include "plan_json.h"
#include "test_plan.h"

using namespace lifedata;

namespace {

// m = 2, R(500) >= 0.9 at 90 %: (L/T)^m (-ln R) = 4 ln(1/0.9) for L = 1000.
TestPlan example()
{
    TestPlan plan;
    plan.shape = 2;
    plan.reliability = 0.9;
    plan.at = 500;
    plan.confidence = 0.9;
    return plan;
}

// chi2(0.9; 6) / 2, from scipy 1.10.1: chi2.ppf(0.9, 6) = 10.644640675668422.
constexpr double twoFailuresQ = 10.644640675668422 / 2;

} // namespace

TEST(TestPlan, ZeroFailuresByHand)
{
    // With K = 0, chi2(C; 2) / 2 = -ln(1 - C) = ln 10: N >= ln 10 / (4 ln(1/0.9)) = 5.46, so 6.
    TestPlan given = example();
    given.testTime = 1000;
    const TestPlan found = planTest(given);
    EXPECT_EQ(found.units, 6);
    EXPECT_EQ(found.testTime, 1000);

    given = example();
    given.units = 6;
    const double L = 500 * std::sqrt(std::log(10.0) / (6 * -std::log(0.9)));
    EXPECT_NEAR(planTest(given).testTime, L, 1e-13 * L);
    // The plan for the time found needs no more units than were given.
    TestPlan back = example();
    back.testTime = planTest(given).testTime * (1 + 1e-12);
    EXPECT_EQ(planTest(back).units, 6);
}

TEST(TestPlan, FailuresAllowedByHand)
{
    TestPlan given = example();
    given.failuresAllowed = 2;
    given.testTime = 1000;
    // N >= 5.32232 / (4 ln(1/0.9)) = 12.63.
    EXPECT_EQ(planTest(given).units, 13);
    given.testTime = 0;
    given.units = 13;
    const double L = 500 * std::sqrt(twoFailuresQ / (13 * -std::log(0.9)));
    EXPECT_NEAR(planTest(given).testTime, L, 1e-12 * L);
    // A long test needs a single unit by the formula, but with 3 failures allowed it needs 4.
    given = example();
    given.failuresAllowed = 3;
    given.testTime = 1e6;
    EXPECT_EQ(planTest(given).units, 4);
}

TEST(TestPlan, BadValuesAreNamed)
{
    const auto refused = [](void (*change)(TestPlan&)) {
        TestPlan plan = example();
        plan.testTime = 1000;
        change(plan);
        EXPECT_THROW(planTest(plan), DataError);
    };
    refused([](TestPlan& p) { p.reliability = 1; });
    refused([](TestPlan& p) { p.reliability = 0; });
    refused([](TestPlan& p) { p.confidence = 1; });
    refused([](TestPlan& p) { p.confidence = -0.5; });
    refused([](TestPlan& p) { p.shape = 0; });
    refused([](TestPlan& p) { p.at = -1; });
    refused([](TestPlan& p) { p.testTime = -5; });
    refused([](TestPlan& p) { p.units = 4; });                       // both given
    refused([](TestPlan& p) { p.testTime = 0; });                    // neither given
    refused([](TestPlan& p) { p.failuresAllowed = 1.5; });
    refused([](TestPlan& p) { p.testTime = 0, p.units = 2.5; });
    refused([](TestPlan& p) { p.testTime = 0, p.units = 2, p.failuresAllowed = 2; });
    refused([](TestPlan& p) { p.testTime = 1e-200; });               // beyond 2^53 units
    try {
        TestPlan plan = example();
        plan.units = 3;
        plan.reliability = 1.5;
        planTest(plan);
    } catch (const DataError& error) {
        EXPECT_STREQ(error.what(), "the reliability must be above 0 and below 1, not 1.5");
    }
}

TEST(TestPlan, JsonHasEveryValue)
{
    TestPlan given = example();
    given.testTime = 1000;
    EXPECT_EQ(planJson(planTest(given)), "{\n  \"method\": \"plan\",\n  \"shape\": 2,\n  \"reliability\": 0.9,\n"
                                         "  \"at\": 500,\n  \"confidence\": 0.9,\n  \"failuresAllowed\": 0,\n"
                                         "  \"units\": 6,\n  \"testTime\": 1000\n}\n");
}

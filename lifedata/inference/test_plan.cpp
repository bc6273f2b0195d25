// q = chi2(C; 2K + 2) / 2 is the upper quantile of probability 1 - C, so that a confidence near 1 keeps
// its digits; N = q / ((L/T)^m (-ln R)) and L = T (q / (N (-ln R)))^(1/m) follow from it.
#include "test_plan.h"

#include <cmath>
#include <string>

#include "chi_square.h"
#include "json_text.h"
#include "life_data.h"

namespace lifedata {

namespace {

// Whole numbers of units are counted exactly in a double up to 2^53.
constexpr double largestCount = 9007199254740992.0;

bool positive(double value) { return value > 0 && std::isfinite(value); }
bool whole(double value) { return value >= 0 && value <= largestCount && value == std::floor(value); }
bool fraction(double value) { return value > 0 && value < 1; }

void check(bool good, const char* what, double value)
{
    if (!good)
        throw DataError(std::string(what) + ", not " + jsonNumber(value));
}

void validate(const TestPlan& plan)
{
    check(positive(plan.shape), "the shape must be above 0", plan.shape);
    check(fraction(plan.reliability), "the reliability must be above 0 and below 1", plan.reliability);
    check(positive(plan.at), "the time of the reliability must be above 0", plan.at);
    check(fraction(plan.confidence), "the confidence must be above 0 and below 1", plan.confidence);
    check(whole(plan.failuresAllowed), "the failures allowed must be a whole number from 0", plan.failuresAllowed);
    if ((plan.units == 0) == (plan.testTime == 0))
        throw DataError("a plan needs either the units or the test time, and finds the other");
    if (plan.units != 0) {
        check(whole(plan.units) && plan.units > 0, "the units must be a whole number above 0", plan.units);
        check(plan.units > plan.failuresAllowed, "the units must be more than the failures allowed", plan.units);
    } else {
        check(positive(plan.testTime), "the test time must be above 0", plan.testTime);
    }
}

} // namespace

TestPlan planTest(const TestPlan& given)
{
    validate(given);
    TestPlan plan = given;
    const double q = chiSquareUpperQuantile(1 - plan.confidence, 2 * plan.failuresAllowed + 2) / 2;
    const double hazard = -std::log(plan.reliability); // -ln R: the cumulative hazard at T
    if (plan.units != 0) {
        plan.testTime = plan.at * std::pow(q / (plan.units * hazard), 1 / plan.shape);
        return plan;
    }
    const double needed = std::ceil(q / (std::pow(plan.testTime / plan.at, plan.shape) * hazard));
    // With K failures allowed a plan needs more than K units, however long they run.
    plan.units = std::fmax(needed, plan.failuresAllowed + 1);
    if (!(plan.units <= largestCount))
        throw DataError("the plan needs more than 2^53 units: give a longer test time");
    return plan;
}

} // namespace lifedata

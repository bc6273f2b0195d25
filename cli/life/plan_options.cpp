// Each value is checked as it is read, so that a bad one is named in the user's own words; whole
// numbers (units, failures allowed) are read in the number syntax and must have no fraction.
#include "life/plan_options.h"

#include <cmath>

#include "number_syntax.h"

const char* const planUsageText =
    "\n"
    "Usage: varnel --plan --shape M --reliability R --at T --confidence C (--units N | --test-time L)\n"
    "              [--failures-allowed K] [--json]\n"
    "A test plan for a known shape M: the units N, or the time L each is tested, that shows\n"
    "R(T) >= R with confidence C when at most K units fail, from N (L/T)^M (-ln R) >= chi2(C; 2K+2)/2.\n"
    "      --reliability R    the reliability to show, above 0 and below 1\n"
    "      --at T             the time of that reliability, above 0\n"
    "      --confidence C     the confidence, above 0 and below 1\n"
    "      --units N          the units on test (whole, more than K); the plan finds the test time\n"
    "      --test-time L      the time each unit is tested; the plan finds the units\n"
    "      --failures-allowed K  the failures the test may have and still pass (default 0)\n";

namespace {

constexpr double largestCount = 9007199254740992.0; // 2^53: whole numbers a double counts exactly

bool fail(std::string& error, const std::string& reason, const char* value)
{
    error = reason + ", not '" + value + "'";
    return false;
}

} // namespace

bool isPlanOnlyOption(const std::string& name)
{
    return name == "--reliability" || name == "--units" || name == "--test-time" || name == "--failures-allowed";
}

bool isPlanOption(const std::string& name)
{
    return isPlanOnlyOption(name) || name == "--at" || name == "--confidence" || name == "--shape" ||
           name == "--plan" || name == "--json" || name == "-q" || name == "--quiet" || name == "-h" ||
           name == "--help" || name == "--version";
}

bool applyPlanOption(const std::string& name, const char* value, lifedata::TestPlan& plan, std::string& error)
{
    double number = 0;
    if (!readWholeNumber(value, number))
        return fail(error, "option " + name + " needs a number", value);
    const bool whole = number == std::floor(number) && number <= largestCount;
    if (name == "--reliability") {
        if (!(number > 0 && number < 1))
            return fail(error, "reliability must be above 0 and below 1", value);
        plan.reliability = number;
    } else if (name == "--confidence") {
        if (!(number > 0 && number < 1))
            return fail(error, "confidence of a plan must be above 0 and below 1", value);
        plan.confidence = number;
    } else if (name == "--at") {
        if (!(number > 0 && std::isfinite(number)))
            return fail(error, "the time of the reliability must be above 0", value);
        plan.at = number;
    } else if (name == "--units") {
        if (!(number >= 1 && whole))
            return fail(error, "units must be a whole number above 0", value);
        plan.units = number;
    } else if (name == "--test-time") {
        if (!(number > 0 && std::isfinite(number)))
            return fail(error, "test time must be above 0", value);
        plan.testTime = number;
    } else {
        if (!(number >= 0 && whole))
            return fail(error, "failures allowed must be a whole number from 0", value);
        plan.failuresAllowed = number;
    }
    return true;
}

bool checkPlanComplete(const lifedata::TestPlan& plan, std::string& error)
{
    const char* missing = plan.shape == 0         ? "--shape"
                          : plan.reliability == 0 ? "--reliability"
                          : plan.at == 0          ? "--at"
                          : plan.confidence == 0  ? "--confidence"
                                                  : nullptr;
    if (missing) {
        error = std::string("--plan needs ") + missing;
        return false;
    }
    if (plan.units != 0 && plan.testTime != 0) {
        error = "--plan takes one of --units and --test-time, not both";
        return false;
    }
    if (plan.units == 0 && plan.testTime == 0) {
        error = "--plan needs --units or --test-time";
        return false;
    }
    if (plan.units != 0 && !(plan.units > plan.failuresAllowed)) {
        error = "units must be more than the failures allowed";
        return false;
    }
    return true;
}

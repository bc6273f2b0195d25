// The values the user gave are shown as given (their shortest exact form); what the plan found is a
// whole number of units, or a test time to 6 significant digits, rounded up so that the time shown
// is never shorter than the time needed.
#include "life/plan_main.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "json_text.h"
#include "life_data.h"
#include "plan_json.h"

namespace {

constexpr int exitFailure = 1;

std::string given(double value) { return jsonNumber(value); }

std::string sixDigits(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// The least 6-digit number not below `value`.
std::string sixDigitsUp(double value)
{
    const double scale = std::pow(10.0, 5 - std::floor(std::log10(value)));
    // The factor keeps a value that is already 6 digits (1000, say) from rising by its last bit.
    return sixDigits(std::ceil(value * scale * (1 - 1e-15)) / scale);
}

bool writeStandardOutput(const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

} // namespace

std::string planSentence(const lifedata::TestPlan& plan, bool testTimeFound)
{
    char units[32];
    std::snprintf(units, sizeof units, "%.0f", plan.units);
    return std::string("Test ") + units + (plan.units == 1 ? " unit" : " units") + " for " +
           (testTimeFound ? sixDigitsUp(plan.testTime) : given(plan.testTime)) + " each with at most " + given(plan.failuresAllowed) +
           (plan.failuresAllowed == 1 ? " failure" : " failures") + " to show R(" + given(plan.at) +
           ") >= " + given(plan.reliability) + " at " + sixDigits(100 * plan.confidence) +
           " % confidence, if m = " + given(plan.shape);
}

int runPlan(const CliOptions& options)
{
    lifedata::TestPlan plan;
    try {
        plan = lifedata::planTest(options.planValues);
    } catch (const lifedata::DataError& error) {
        std::fprintf(stderr, "varnel: %s\n", error.what());
        if (options.json) {
            JsonObject root(0);
            root.add("method", jsonString("plan"));
            root.add("error", jsonString(error.what()));
            writeStandardOutput(root.close() + "\n");
        }
        return exitFailure;
    }
    const std::string text = options.json ? lifedata::planJson(plan) : planSentence(plan, options.planValues.testTime == 0) + "\n";
    if (!writeStandardOutput(text)) {
        std::fprintf(stderr, "varnel: cannot write to standard output: %s\n", std::strerror(errno));
        return exitFailure;
    }
    return 0;
}

// The non-parametric estimate as JSON: one step per line, numbers in their shortest round-trip form.
#include "nonparametric_json.h"

#include "json_text.h"

namespace lifedata {

namespace {

std::string member(const char* key, double value) { return std::string("\"") + key + "\": " + jsonNumber(value); }

std::string stepJson(const SurvivalStep& step, NonParametricMethod method)
{
    if (method == NonParametricMethod::turnbull)
        return "{" + member("time", step.time) + ", " + member("from", step.from) + ", " +
               member("survival", step.survival) + "}";
    return "{" + member("time", step.time) + ", " + member("survival", step.survival) + ", " +
           member("lower", step.lower) + ", " + member("upper", step.upper) + "}";
}

} // namespace

std::string nonParametricJson(const NonParametricEstimate& estimate)
{
    JsonObject object(1);
    object.add("method", jsonString(nonParametricMethodName(estimate.method)));
    std::string steps = "[";
    for (std::size_t i = 0; i < estimate.steps.size(); ++i) {
        steps += i == 0 ? "\n      " : ",\n      ";
        steps += stepJson(estimate.steps[i], estimate.method);
    }
    object.add("steps", steps + (estimate.steps.empty() ? "]" : "\n    ]"));
    object.add("status", jsonString(estimate.statusText));
    return object.close();
}

} // namespace lifedata

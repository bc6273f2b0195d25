// Every value of the plan, given or found, in its shortest round-trip form.
#include "plan_json.h"

#include "json_text.h"

namespace lifedata {

std::string planJson(const TestPlan& plan)
{
    JsonObject root(0);
    root.add("method", jsonString("plan"));
    root.addNumber("shape", plan.shape);
    root.addNumber("reliability", plan.reliability);
    root.addNumber("at", plan.at);
    root.addNumber("confidence", plan.confidence);
    root.addNumber("failuresAllowed", plan.failuresAllowed);
    root.addNumber("units", plan.units);
    root.addNumber("testTime", plan.testTime);
    return root.close() + "\n";
}

} // namespace lifedata

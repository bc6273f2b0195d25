// A test plan as the JSON document of `varnel --plan --json`, shared by the command line and the
// Python package.
#pragma once

#include <string>

#include "test_plan.h"

namespace lifedata {

// One object, ended by LF.
std::string planJson(const TestPlan& plan);

} // namespace lifedata

// The options of `varnel --plan`: --reliability, --at, --confidence, --units, --test-time and
// --failures-allowed, each with a value (--shape is read with the other options, since --mle takes it too).
#pragma once

#include <string>

#include "test_plan.h"

extern const char* const planUsageText;

// True for the long name of an option that only --plan takes.
bool isPlanOnlyOption(const std::string& name);

// True for the long name of an option that --plan takes: its own, --shape, --json, -q and help.
bool isPlanOption(const std::string& name);

// Applies the value of plan option `name` to `plan`, or returns false with a one-line reason in `error`.
bool applyPlanOption(const std::string& name, const char* value, lifedata::TestPlan& plan, std::string& error);

// After every option: false with a reason where a value the plan needs was not given.
bool checkPlanComplete(const lifedata::TestPlan& plan, std::string& error);

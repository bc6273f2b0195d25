// `varnel --plan`: a zero- or few-failure test plan from the options alone.
#pragma once

#include <string>

#include "options.h"
#include "test_plan.h"

// The plan as one sentence: "Test 6 units for 1000 each with at most 0 failures to show
// R(500) >= 0.9 at 90 % confidence, if m = 2". A test time the plan found is rounded up to 6 digits.
std::string planSentence(const lifedata::TestPlan& plan, bool testTimeFound);

// Works out the plan the options give and writes it as text or JSON; returns the exit status.
int runPlan(const CliOptions& options);

// The comparison of distributions of `varnel --life --distribution` as text for people.
#pragma once

#include <string>
#include <vector>

#include "distribution_result.h"

// The ranking table (rank, distribution, parameters, log-likelihood, AICc, BIC, status), then each
// estimated distribution's bounds in rank order.
std::string distributionsText(const std::vector<lifedata::DistributionResult>& distributions);

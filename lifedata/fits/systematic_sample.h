// A large data set's location profile is scanned first on a systematic sample of its records (one
// in k, counts times k), whose profile has its maximum within a grid step or a few of the full
// data's; the full data's likelihood then only refines that maximum.
#pragma once

#include <cstddef>

#include "weibull_likelihood.h"

namespace lifedata {

// Records kept when a data set is scanned on a sample.
constexpr std::size_t sampledRecords = 4096;

// The first record of each kind with its own count, then the middle record of every block of `step`
// records, counts times `step`. Keeping the smallest failure at its own weight keeps the sample's
// profile close to the full data's toward x1, where the location is decided.
PreparedData systematicSample(const PreparedData& data, std::size_t step);

} // namespace lifedata

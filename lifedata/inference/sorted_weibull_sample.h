// A Weibull sample drawn already sorted, as prepared failures: what a bootstrap refit needs, with
// no sort and no record-by-record copy, so that a large sample costs one logarithm and one power
// per unit and 16 bytes per distinct value.
#pragma once

#include <cstdint>

#include "chunked_work.h"
#include "fisher_bounds.h"
#include "weibull_likelihood.h"

namespace lifedata {

// The order statistics of `units` independent draws from the Weibull distribution `model`, as
// prepared failures (ascending, equal values merged into counts). Units are drawn in chunks of
// ChunkedWork::chunkSize, chunk c from the stream (seed, (sample << 32) + c), and summed in one
// fixed order, so the sample is the same bits whatever the helpers of `work`.
PreparedData drawSortedWeibullSample(const WeibullEstimate& model, std::uint64_t units, std::uint64_t seed,
                                     std::uint32_t sample, ChunkedWork& work);

} // namespace lifedata

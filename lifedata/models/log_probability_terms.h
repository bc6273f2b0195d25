// The logarithm of a difference of two probabilities given by their logarithms, with derivatives in
// p: the probability of an interval, S(a) - S(b) or F(b) - F(a), from the tail in which it lies.
#pragma once

#include "distribution.h"

namespace lifedata {

// ln(e^A - e^B) for A > B, from A and B with their derivatives to `order`; formed as
// A + ln(1 - e^(B - A)), so that nothing cancels however small both are.
PointTerms logDifference(const PointTerms& A, const PointTerms& B, int order);

} // namespace lifedata

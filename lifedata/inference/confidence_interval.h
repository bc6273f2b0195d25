// A two-sided confidence interval whose sides may be numbers or words: a side that does not close is
// no number at all, and a side cut at a limit is a number that says so.
#pragma once

#include <string>

namespace lifedata {

struct BoundSide {
    double value;     // NaN when the side has no value
    std::string text; // empty for an ordinary number, else what the side is ("unbounded", ...)
};

struct ConfidenceInterval {
    BoundSide lower;
    BoundSide upper;
};

// The words of the sides that are not plain numbers.
inline constexpr const char* unboundedText = "unbounded";
inline constexpr const char* cutAtSmallestFailureText = "cut at the smallest failure";
// A side the search could not establish: no number is given rather than one that is not verified.
inline constexpr const char* notFoundText = "not found";

} // namespace lifedata

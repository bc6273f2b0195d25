// Zero- and few-failure test plans: how many units, or how long each, a test needs to show a
// reliability R at time T with confidence C when the shape m is known and at most K units may fail.
// It is the known-shape bound read backwards: N (L/T)^m (-ln R) >= chi2(C; 2K + 2) / 2.
#pragma once

namespace lifedata {

struct TestPlan {
    double shape = 0;           // m, above 0
    double reliability = 0;     // R, above 0 and below 1
    double at = 0;              // T, above 0
    double confidence = 0;      // C, above 0 and below 1
    double failuresAllowed = 0; // K, a whole number from 0
    double units = 0;           // N, a whole number: given (then testTime is 0), or found
    double testTime = 0;        // L: given (then units is 0), or found
};

// Fills in the one of units and testTime that is 0: the smallest whole N (and more than K) for a
// given L, or the least L for a given N. Throws DataError naming the first value out of range, or
// where the units needed are too many to count exactly in a double.
TestPlan planTest(const TestPlan& given);

} // namespace lifedata

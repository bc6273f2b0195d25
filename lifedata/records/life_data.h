// Life data: failures, suspensions (units known to have survived to a time) and intervals (units
// that failed somewhere between two inspections), each record with a count of identical units.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace lifedata {

enum class State : std::uint8_t { failure, suspension, interval };

// One entry per data line (or per record given by a caller), in the order given.
struct LifeData {
    std::vector<double> values;        // the time; for an interval its lower end (may be 0)
    std::vector<double> upper;         // an interval's upper end; equal to values[i] otherwise
    std::vector<State> states;
    std::vector<std::uint32_t> counts; // 1 .. 2^31-1
    std::vector<double> stresses{};    // each record's stress, as written; empty for data without one
    // The failure mode of each record, an index into modeNames; empty when no record names one.
    // A suspension has none (noMode); a failure or interval without a word is unlabelledMode's.
    std::vector<std::uint32_t> modes{};
    std::vector<std::string> modeNames{}; // in order of first appearance
};

// The mode index of a suspension, and the name of a failure's mode where none was written.
constexpr std::uint32_t noMode = 0xFFFFFFFFu;
inline constexpr const char* unlabelledMode = "unlabelled";

// Units (counts included) by kind, and the number of records.
struct DataSummary {
    std::uint64_t failures = 0;
    std::uint64_t suspensions = 0;
    std::uint64_t intervals = 0;
    std::uint64_t units = 0;
    std::uint64_t lines = 0;
};
DataSummary summarizeLifeData(const LifeData& data);

// Thrown for data that cannot be analysed; what() is the user-facing text, e.g.
// "FILE:LINE: expected ..." for a malformed line, "no failures: the Weibull parameters cannot be estimated".
struct DataError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The largest count of one record.
constexpr std::uint32_t maximumCount = 2147483647u;

// Checks records made by a caller: equal lengths, finite values not below 0, an interval's lower
// end not above its upper end, counts from 1 to maximumCount, finite stresses (when given); modes
// empty, or one per record naming a mode of modeNames (noMode for a suspension, and only for it).
// Throws DataError naming the record.
void validateLifeData(const LifeData& data);

} // namespace lifedata

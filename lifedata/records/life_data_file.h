// Reading life data from a data file: the classic file's number syntax and line rules, with optional
// fields after the value: `VALUE [STATE [COUNT] [MODE]]` or `LOW HIGH I [COUNT] [MODE]`, where MODE
// is a failure mode's word (a failure's or an interval's, never a suspension's).
#pragma once

#include <cstdint>
#include <string>

#include "life_data.h"

namespace lifedata {

// Every data line of the file, in file order. Throws DataError "FILE:LINE: ..." for a malformed
// line and "FILE: ..." when the file cannot be read.
LifeData readLifeDataFile(const std::string& path);

// Accelerated data: every line ends with its stress after a state and a count that are then
// required, `VALUE F|S COUNT STRESS` or `LOW HIGH I COUNT STRESS`. A stress is above 0, or, in
// degrees Celsius, above absolute zero (-273.15); it is kept as written.
struct StressColumn {
    bool celsius = false;
};
LifeData readLifeDataFile(const std::string& path, const StressColumn& column);

// The line number of the record at `index` (from 0) as readLifeDataFile() counts records; 0 when
// the file cannot be read or has fewer records.
std::uint64_t lineOfRecord(const std::string& path, std::size_t index);

// How many data lines carry a state (S, I or F) or a count: the lines the classic reader would
// take as one failure each. 0 when the file cannot be read.
std::uint64_t countMarkedLines(const std::string& path);

} // namespace lifedata

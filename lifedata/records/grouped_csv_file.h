// Reading the life data of many groups (a fleet of part numbers) from one CSV file with a header:
// a `time` column, optional `state` (F, S or I), `count` and `upper` (an interval's upper end,
// blank on F and S rows) columns, and the column of the group keys, named by the caller. Other
// columns are ignored, and so are lines starting with # (notes about the data).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "life_data.h"

namespace lifedata {

struct GroupedCsvData {
    std::vector<std::string> groups; // the keys, in the order of their first record
    std::vector<std::int64_t> codes; // per record: the index of its group in `groups`
    LifeData records;                // in file order
};

// Throws DataError "FILE:LINE: expected ..." for a malformed header or row, and "FILE: ..." when the
// file cannot be read.
GroupedCsvData readGroupedCsvFile(const std::string& path, const std::string& groupColumn);

} // namespace lifedata

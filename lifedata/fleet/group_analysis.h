// Many analyses from one table: the records of every group (a part number, say) analysed on its
// own, several groups at a time, each group on one thread. A group's result is the same bits as
// the analysis of its records alone, whatever the number of threads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "life_analysis.h"

namespace lifedata {

// Records ordered by group: group g is records [starts[g], starts[g + 1]), in the order given.
struct GroupedLifeData {
    LifeData records;
    std::vector<std::size_t> starts{0};
};

// The records of each group code (0 .. groupCount-1, one per record), each group's records in
// their order in `records`. Throws DataError for a code outside that range.
GroupedLifeData groupRecords(const LifeData& records, const std::vector<std::int64_t>& codes, std::size_t groupCount);

// The records of group g, as their own data.
LifeData groupData(const GroupedLifeData& grouped, std::size_t group);

// What became of one group: its analysis, or the text of the DataError that stopped it.
struct GroupOutcome {
    bool failed = false;
    std::string error;
    Analysis analysis;
};

// Analyses every group with `request` (its threads field is ignored: a group runs on one thread),
// `threads` groups at a time (0: one per hardware thread). `each(g, outcome)` is called once per
// group on any thread and may only write group g's outputs; `done(begin, end)` is called on the
// calling thread for consecutive ranges of groups in ascending order, once their `each` calls have
// returned. Throws AnalysisCancelled when request.cancel is set, and what else `each` or the
// analysis throws other than DataError.
void analyseGroups(const GroupedLifeData& grouped, const AnalysisRequest& request, unsigned threads,
                   const std::function<void(std::size_t, const GroupOutcome&)>& each,
                   const std::function<void(std::size_t, std::size_t)>& done);

} // namespace lifedata

// The groups of a table analysed through the one thread pool: ChunkedWork cuts its indices into
// chunks of a fixed size, so every chunk here stands for one batch of groups. A batch is small
// enough that the threads share the groups evenly and the caller can hand results on while others
// still compute, and each group is analysed on a single thread, as it would be alone.
#include "group_analysis.h"

#include <algorithm>
#include <thread>

#include "chunked_work.h"

namespace lifedata {

GroupedLifeData groupRecords(const LifeData& records, const std::vector<std::int64_t>& codes, std::size_t groupCount)
{
    const std::size_t n = records.values.size();
    if (codes.size() != n)
        throw DataError("the group codes have " + std::to_string(codes.size()) + " entries, the records " +
                        std::to_string(n));
    GroupedLifeData grouped;
    grouped.starts.assign(groupCount + 1, 0);
    for (std::size_t i = 0; i < n; ++i) {
        if (codes[i] < 0 || static_cast<std::uint64_t>(codes[i]) >= groupCount)
            throw DataError("record " + std::to_string(i + 1) + ": group code " + std::to_string(codes[i]) +
                            " outside 0 to " + std::to_string(groupCount) + " - 1");
        ++grouped.starts[codes[i] + 1];
    }
    for (std::size_t g = 0; g < groupCount; ++g)
        grouped.starts[g + 1] += grouped.starts[g];
    // A stable counting sort: within a group the records keep their order.
    std::vector<std::size_t> next(grouped.starts.begin(), grouped.starts.end() - 1);
    LifeData& sorted = grouped.records;
    sorted.values.resize(n);
    sorted.upper.resize(n);
    sorted.states.resize(n);
    sorted.counts.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t to = next[codes[i]]++;
        sorted.values[to] = records.values[i];
        sorted.upper[to] = records.upper[i];
        sorted.states[to] = records.states[i];
        sorted.counts[to] = records.counts[i];
    }
    return grouped;
}

LifeData groupData(const GroupedLifeData& grouped, std::size_t group)
{
    const LifeData& all = grouped.records;
    const auto begin = static_cast<std::ptrdiff_t>(grouped.starts[group]);
    const auto end = static_cast<std::ptrdiff_t>(grouped.starts[group + 1]);
    LifeData data;
    data.values.assign(all.values.begin() + begin, all.values.begin() + end);
    data.upper.assign(all.upper.begin() + begin, all.upper.begin() + end);
    data.states.assign(all.states.begin() + begin, all.states.begin() + end);
    data.counts.assign(all.counts.begin() + begin, all.counts.begin() + end);
    return data;
}

namespace {

// Groups per batch: about eight batches per thread, at most 256 groups in one.
std::size_t batchSize(std::size_t groups, unsigned threads)
{
    const std::size_t perThreadShare = groups / (8 * static_cast<std::size_t>(threads)) + 1;
    return std::min<std::size_t>(perThreadShare, 256);
}

GroupOutcome analyseGroup(const GroupedLifeData& grouped, std::size_t group, const AnalysisRequest& request)
{
    GroupOutcome outcome;
    try {
        outcome.analysis = analyseLifeData(groupData(grouped, group), request);
    } catch (const DataError& error) {
        outcome.failed = true;
        outcome.error = error.what();
    }
    return outcome;
}

} // namespace

void analyseGroups(const GroupedLifeData& grouped, const AnalysisRequest& request, unsigned threads,
                   const std::function<void(std::size_t, const GroupOutcome&)>& each,
                   const std::function<void(std::size_t, std::size_t)>& done)
{
    const std::size_t groups = grouped.starts.size() - 1;
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads = std::min(threads, maximumThreads);
    AnalysisRequest single = request;
    single.threads = 1;
    const std::size_t size = batchSize(groups, threads);
    const std::size_t batches = (groups + size - 1) / size;
    if (batches > UINT32_MAX / ChunkedWork::chunkSize)
        throw DataError("too many groups: at most " + std::to_string(UINT32_MAX / ChunkedWork::chunkSize * size));
    auto range = [&](std::uint32_t chunk) {
        const std::size_t begin = chunk * size;
        return std::pair{begin, std::min(groups, begin + size)};
    };
    const auto compute = [&](std::uint32_t chunk, std::uint32_t, std::uint32_t) {
        const auto [begin, end] = range(chunk);
        for (std::size_t g = begin; g < end; ++g) {
            // On a helper thread too: ChunkedWork hands what a chunk throws to the calling thread.
            stopIfCancelled(request.cancel);
            each(g, analyseGroup(grouped, g, single));
        }
    };
    auto consume = [&](std::uint32_t chunk, std::uint32_t, std::uint32_t) {
        const auto [begin, end] = range(chunk);
        done(begin, end);
    };
    ChunkedWork work(threads - 1);
    work.run(static_cast<std::uint32_t>(batches * ChunkedWork::chunkSize), compute, consume);
}

} // namespace lifedata

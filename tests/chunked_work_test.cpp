// The helper threads' contract: every index computed once, chunks consumed in order on the calling
// thread, and the same partial sums whatever the number of helpers.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "chunked_work.h"

TEST(ChunkedWork, EveryIndexOnceAndChunksConsumedInOrder)
{
    const std::uint32_t count = 5 * ChunkedWork::chunkSize + 17; // a short last chunk
    std::vector<double> firstSums;
    for (unsigned helpers : {0u, 1u, 3u}) {
        ChunkedWork work(helpers);
        std::vector<std::atomic<int>> seen(count);
        std::vector<double> values(count);
        std::vector<std::uint32_t> consumed;
        const std::thread::id caller = std::this_thread::get_id();
        double sum = 0;
        auto compute = [&](std::uint32_t, std::uint32_t begin, std::uint32_t end) {
            for (std::uint32_t i = begin; i < end; ++i) {
                ++seen[i];
                values[i] = 1.0 / (i + 1);
            }
        };
        auto consume = [&](std::uint32_t chunk, std::uint32_t begin, std::uint32_t end) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(begin, ChunkedWork::chunkBegin(chunk));
            consumed.push_back(chunk);
            for (std::uint32_t i = begin; i < end; ++i)
                sum += values[i];
        };
        for (int pass = 0; pass < 3; ++pass) // helpers are reused from pass to pass
            work.run(count, compute, consume);
        for (std::uint32_t i = 0; i < count; ++i)
            ASSERT_EQ(seen[i].load(), 3) << i;
        ASSERT_EQ(consumed.size(), 3 * ChunkedWork::chunkCount(count));
        for (std::size_t k = 0; k < consumed.size(); ++k)
            EXPECT_EQ(consumed[k], k % ChunkedWork::chunkCount(count));
        firstSums.push_back(sum);
        EXPECT_EQ(sum, firstSums.front()) << helpers << " helpers";
        work.run(0, compute, consume); // nothing to do is no work at all
        EXPECT_EQ(consumed.size(), 3 * ChunkedWork::chunkCount(count));
    }
}

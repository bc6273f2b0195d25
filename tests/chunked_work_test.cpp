// The helper threads' contract: every index computed once, chunks consumed in order on the calling
// thread, the same partial sums whatever the number of helpers, and a chunk's exception reaching
// the caller.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
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

// A chunk that throws on a helper thread must not end the process: no chunk is left running, the caller gets the exception itself, and the same helpers serve the next pass.
TEST(ChunkedWork, HelperExceptionIsRethrownOnTheCallerAndTheNextPassRuns)
{
    ChunkedWork work(3);
    ASSERT_GT(work.helperCount(), 0u) << "no helper thread could be started";
    const std::uint32_t count = 64 * ChunkedWork::chunkSize;
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> thrown{false};
    std::atomic<int> running{0};
    auto compute = [&](std::uint32_t, std::uint32_t, std::uint32_t) {
        ++running;
        if (std::this_thread::get_id() != caller) {
            if (!thrown.exchange(true)) {
                // The other helpers take chunks meanwhile, which are still running at the failure:
                // a caller that did not wait for them would return while they run.
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                --running;
                throw std::bad_alloc();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        // The caller's chunks wait for a helper's failure, so that one is sure to come.
        while (!thrown)
            std::this_thread::yield();
        --running;
    };
    EXPECT_THROW(work.run(count, compute), std::bad_alloc);
    EXPECT_EQ(running.load(), 0);

    // Then a whole pass, consumed in order, as if nothing had happened.
    std::vector<double> values(count);
    double sum = 0;
    auto fill = [&](std::uint32_t, std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t i = begin; i < end; ++i)
            values[i] = i;
    };
    auto add = [&](std::uint32_t, std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t i = begin; i < end; ++i)
            sum += values[i];
    };
    work.run(count, fill, add);
    EXPECT_EQ(sum, double(count) * (count - 1) / 2);
}

// A consumer's exception, and the first of several computes' exceptions, keep their type and text.
TEST(ChunkedWork, ConsumerAndComputeExceptionsKeepTheirText)
{
    for (unsigned helpers : {0u, 2u}) {
        ChunkedWork work(helpers);
        const std::uint32_t count = 16 * ChunkedWork::chunkSize;
        auto quiet = [](std::uint32_t, std::uint32_t, std::uint32_t) {};
        auto refuse = [](std::uint32_t chunk, std::uint32_t, std::uint32_t) {
            if (chunk == 5)
                throw std::runtime_error("chunk 5");
        };
        try {
            work.run(count, quiet, refuse);
            ADD_FAILURE() << "no exception from the consumer";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "chunk 5");
        }
        auto everyChunkFails = [](std::uint32_t, std::uint32_t, std::uint32_t) { throw std::runtime_error("compute"); };
        try {
            work.run(count, everyChunkFails);
            ADD_FAILURE() << "no exception from the computes";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "compute");
        }
    }
}

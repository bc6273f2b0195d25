// The helper threads of ChunkedWork. A pass is published under the mutex with a new generation;
// chunks are claimed through one 64-bit counter holding the generation above the chunk index, so a
// helper that wakes late can never claim a chunk of a later pass with the job of an earlier one.
// A finished chunk is marked with the pass's generation, which lets the calling thread consume the
// chunks in index order while later ones are still being computed.
//
// An exception thrown by a chunk on any thread (std::bad_alloc above all) must never reach the end
// of a helper thread, where it would terminate the process. It is kept, the pass is marked failed so
// that the chunks not yet begun are marked finished without being computed, and once every chunk is
// marked the calling thread rethrows the first exception kept. No chunk of a failed pass is left
// running when runChunks returns, since the chunks work on the caller's data.
#include "chunked_work.h"

#include <atomic>
#include <cfenv>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

struct Pass {
    ChunkedWork::ComputeFunction compute = nullptr;
    const void* context = nullptr;
    std::uint32_t count = 0;
    std::atomic<std::uint32_t>* ready = nullptr; // per chunk, the generation of the pass that last filled it
};

} // namespace

struct ChunkedWork::Helpers {
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable wake;
    bool quitting = false;
    std::uint32_t generation = 0;
    Pass pass;
    std::atomic<std::uint64_t> claims{0};
    std::vector<std::atomic<std::uint32_t>> ready;
    std::atomic<std::uint32_t> failedGeneration{0}; // the last pass that failed; generations start at 1
    std::exception_ptr failure;                     // the first exception of that pass
    std::fenv_t environment;

    // Keeps the first exception of pass `generation`; later ones of the same pass are dropped.
    void fail(std::uint32_t generation, std::exception_ptr error)
    {
        std::uint32_t seen = failedGeneration.load();
        if (seen != generation && failedGeneration.compare_exchange_strong(seen, generation))
            failure = std::move(error);
    }

    // Computes a claimed chunk, unless its pass has failed, and marks it finished either way. The
    // mark publishes a kept exception to the caller, which reads it after the last mark.
    void computeChunk(const Pass& p, std::uint32_t generation, std::uint32_t chunk)
    {
        if (failedGeneration.load(std::memory_order_relaxed) != generation) {
            try {
                p.compute(p.context, chunk, chunkBegin(chunk), chunkEnd(p.count, chunk));
            } catch (...) {
                fail(generation, std::current_exception());
            }
        }
        p.ready[chunk].store(generation, std::memory_order_release);
    }

    // Claims the next chunk of pass `generation`; false when it has none left or a new pass began.
    bool claimChunk(std::uint32_t generation, std::uint32_t chunks, std::uint32_t& chunk)
    {
        std::uint64_t claim = claims.load();
        for (;;) {
            if (static_cast<std::uint32_t>(claim >> 32) != generation)
                return false;
            chunk = static_cast<std::uint32_t>(claim);
            if (chunk >= chunks)
                return false;
            if (claims.compare_exchange_weak(claim, claim + 1))
                return true;
        }
    }

    // Computes one claimed chunk and marks it finished.
    bool computeNextChunk(const Pass& p, std::uint32_t generation)
    {
        std::uint32_t chunk = 0;
        if (!claimChunk(generation, chunkCount(p.count), chunk))
            return false;
        computeChunk(p, generation, chunk);
        return true;
    }

    void helperLoop()
    {
        // The same rounding and precision as the creating thread, whatever a new thread starts with.
        std::fesetenv(&environment);
        std::uint32_t seen = 0;
        for (;;) {
            Pass p;
            std::uint32_t current;
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [&] { return quitting || generation != seen; });
                if (quitting)
                    return;
                p = pass;
                current = seen = generation;
            }
            while (computeNextChunk(p, current)) {
            }
        }
    }

    // Hands `p` to the helpers and returns its generation. Every chunk of the previous pass is
    // finished by then, so the marks can be replaced when the pass has more chunks than there are marks.
    std::uint32_t publish(Pass p)
    {
        const std::uint32_t chunks = chunkCount(p.count);
        std::uint32_t published;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (ready.size() < chunks)
                ready = std::vector<std::atomic<std::uint32_t>>(chunks);
            p.ready = ready.data();
            // 0 is never a generation: unused marks and the failure mark start there.
            if (++generation == 0)
                ++generation;
            published = generation;
            pass = p;
            claims.store(static_cast<std::uint64_t>(published) << 32);
        }
        wake.notify_all();
        return published;
    }

    // Waits until chunk `chunk` of pass `published` is finished, computing other chunks meanwhile.
    void awaitChunk(std::uint32_t published, std::uint32_t chunk)
    {
        while (ready[chunk].load(std::memory_order_acquire) != published) {
            if (!computeNextChunk(pass, published))
                std::this_thread::yield();
        }
    }
};

ChunkedWork::ChunkedWork(unsigned helpers) : helpers_(std::make_unique<Helpers>())
{
    std::fegetenv(&helpers_->environment);
    for (unsigned t = 0; t < helpers; ++t) {
        try {
            helpers_->threads.emplace_back([h = helpers_.get()] { h->helperLoop(); });
        } catch (const std::system_error&) {
            break; // fewer helpers: the same results, only slower
        }
    }
}

ChunkedWork::~ChunkedWork()
{
    {
        std::lock_guard<std::mutex> lock(helpers_->mutex);
        helpers_->quitting = true;
    }
    helpers_->wake.notify_all();
    for (std::thread& thread : helpers_->threads)
        thread.join();
}

unsigned ChunkedWork::helperCount() const { return static_cast<unsigned>(helpers_->threads.size()); }

void ChunkedWork::runChunks(std::uint32_t count, ComputeFunction compute, const void* computeContext,
                            ConsumeFunction consume, void* consumeContext)
{
    const std::uint32_t chunks = chunkCount(count);
    if (chunks == 0)
        return;
    // With no helpers each chunk is consumed right after it is computed, while it is still in the cache.
    if (helpers_->threads.empty()) {
        for (std::uint32_t chunk = 0; chunk < chunks; ++chunk) {
            compute(computeContext, chunk, chunkBegin(chunk), chunkEnd(count, chunk));
            consume(consumeContext, chunk, chunkBegin(chunk), chunkEnd(count, chunk));
        }
        return;
    }
    Pass p;
    p.compute = compute;
    p.context = computeContext;
    p.count = count;
    Helpers& h = *helpers_;
    const std::uint32_t published = h.publish(p);
    // Every chunk is awaited even after a failure, so that none is still running on return.
    for (std::uint32_t chunk = 0; chunk < chunks; ++chunk) {
        h.awaitChunk(published, chunk);
        if (h.failedGeneration.load(std::memory_order_relaxed) == published)
            continue;
        try {
            consume(consumeContext, chunk, chunkBegin(chunk), chunkEnd(count, chunk));
        } catch (...) {
            h.fail(published, std::current_exception());
        }
    }
    if (h.failedGeneration.load() == published) {
        std::exception_ptr error = std::move(h.failure);
        h.failure = nullptr;
        std::rethrow_exception(error);
    }
}

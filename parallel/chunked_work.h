// Per-index work spread over helper threads, with results that do not depend on the threads: the
// indices [0, count) are cut into chunks of a fixed size, helpers and the calling thread claim
// chunks and compute them, each writing only its own chunk's outputs, and the caller may consume
// every chunk on its own thread in chunk order as soon as it is finished. Sums formed in the
// consumer therefore run in one fixed order whatever the number of threads.
//
// One object owns its helpers (no global pool): a run of the classic engine or one life-data fit
// creates its own, so independent callers never share threads or state.
#pragma once

#include <cstdint>
#include <memory>

class ChunkedWork {
public:
    static constexpr std::uint32_t chunkSize = 2048;

    // Starts up to `helpers` helper threads besides the calling thread; with 0 (or when no thread
    // can be started) every chunk is computed on the calling thread, giving the same results.
    explicit ChunkedWork(unsigned helpers);
    ~ChunkedWork();
    ChunkedWork(const ChunkedWork&) = delete;
    ChunkedWork& operator=(const ChunkedWork&) = delete;

    unsigned helperCount() const;

    static std::uint32_t chunkCount(std::uint32_t count) { return count / chunkSize + (count % chunkSize != 0); }
    static std::uint32_t chunkBegin(std::uint32_t chunk) { return chunk * chunkSize; }
    static std::uint32_t chunkEnd(std::uint32_t count, std::uint32_t chunk)
    {
        return count - chunkBegin(chunk) < chunkSize ? count : chunkBegin(chunk) + chunkSize;
    }

    // Calls compute(chunk, begin, end) once for every chunk of [0, count), on any thread, and
    // consume(chunk, begin, end) on the calling thread for every chunk in ascending order, each after
    // its compute has finished. `compute` is called concurrently and must only write its own chunk's
    // outputs. Returns when every chunk has been computed and consumed. When a compute or consume
    // throws, on whichever thread, the chunks not yet begun are skipped, and once no chunk is
    // running any more the first exception is rethrown here, on the calling thread.
    template <class Compute, class Consume>
    void run(std::uint32_t count, const Compute& compute, Consume& consume)
    {
        runChunks(
            count,
            [](const void* context, std::uint32_t chunk, std::uint32_t begin, std::uint32_t end) {
                (*static_cast<const Compute*>(context))(chunk, begin, end);
            },
            &compute,
            [](void* context, std::uint32_t chunk, std::uint32_t begin, std::uint32_t end) {
                (*static_cast<Consume*>(context))(chunk, begin, end);
            },
            &consume);
    }

    // The same without a consumer.
    template <class Compute>
    void run(std::uint32_t count, const Compute& compute)
    {
        auto nothing = [](std::uint32_t, std::uint32_t, std::uint32_t) {};
        run(count, compute, nothing);
    }

    using ComputeFunction = void (*)(const void* context, std::uint32_t chunk, std::uint32_t begin, std::uint32_t end);
    using ConsumeFunction = void (*)(void* context, std::uint32_t chunk, std::uint32_t begin, std::uint32_t end);
    void runChunks(std::uint32_t count, ComputeFunction compute, const void* computeContext, ConsumeFunction consume,
                   void* consumeContext);

    struct Helpers;

private:
    std::unique_ptr<Helpers> helpers_;
};

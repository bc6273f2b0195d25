// Sums over records formed chunk by chunk on any thread and added in chunk order on the calling
// thread, so that they are the same bits for every number of threads.
#pragma once

#include <cstdint>
#include <vector>

#include "chunked_work.h"

namespace lifedata {

// Adds to `total` the sums of addOne(sums, i) over i in [first, first + count). `Sums` is a record
// of doubles, zero when value-initialised, with add(const Sums&).
template <class Sums, class AddOne>
Sums sumInChunks(ChunkedWork& work, std::size_t first, std::size_t count, const AddOne& addOne, Sums total = {})
{
    std::vector<Sums> partial(ChunkedWork::chunkCount(static_cast<std::uint32_t>(count)));
    auto compute = [&](std::uint32_t chunk, std::uint32_t begin, std::uint32_t end) {
        Sums sums{};
        for (std::size_t i = first + begin; i < first + end; ++i)
            addOne(sums, i);
        partial[chunk] = sums;
    };
    auto consume = [&](std::uint32_t chunk, std::uint32_t, std::uint32_t) { total.add(partial[chunk]); };
    work.run(static_cast<std::uint32_t>(count), compute, consume);
    return total;
}

} // namespace lifedata

// The generators are the published xoshiro256** and SplitMix64 (Blackman and Vigna), chosen for
// their speed and their quality on every bit; the streams of neighbouring indices are decorrelated
// by hashing the index into the seed before the state is filled.
#include "random_stream.h"

#include <cmath>

namespace lifedata {

namespace {

std::uint64_t splitMix64(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t rotateLeft(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

} // namespace

RandomStream::RandomStream(std::uint64_t seed, std::uint64_t index)
{
    std::uint64_t indexState = index;
    std::uint64_t state = seed ^ splitMix64(indexState);
    for (std::uint64_t& word : s_)
        word = splitMix64(state);
}

std::uint64_t RandomStream::next()
{
    const std::uint64_t result = rotateLeft(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotateLeft(s_[3], 45);
    return result;
}

double RandomStream::uniform() { return (static_cast<double>(next() >> 11) + 0.5) * 0x1.0p-53; }

double weibullDraw(RandomStream& stream, double m, double eta, double gamma)
{
    return gamma + eta * std::pow(-std::log(stream.uniform()), 1 / m);
}

} // namespace lifedata

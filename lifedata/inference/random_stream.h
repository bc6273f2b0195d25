// Reproducible random numbers: one independent stream per (seed, index), so that a bootstrap sample
// is the same whichever thread draws it and in whatever order.
#pragma once

#include <cstdint>

namespace lifedata {

// xoshiro256** seeded through SplitMix64 from the seed and the stream's index.
class RandomStream {
public:
    RandomStream(std::uint64_t seed, std::uint64_t index);
    std::uint64_t next();
    // Uniform on (0, 1): never 0 or 1, so that its logarithm is finite and nonzero.
    double uniform();

private:
    std::uint64_t s_[4];
};

// A draw from the Weibull distribution by inversion: gamma + eta (-ln U)^(1/m).
double weibullDraw(RandomStream& stream, double m, double eta, double gamma);

} // namespace lifedata

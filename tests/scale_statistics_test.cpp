// The scale parameter, the derived statistics and the gamma function.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "estimation_state.h"
#include "fake_host.h"
#include "scale_statistics.h"

namespace {

constexpr std::uint64_t indefiniteBits = 0xFFF8000000000000;

TEST(ScaleStatistics, ScaleOfOneTwoThree)
{
    resetHostAndState();
    double values[] = {1, 2, 3};
    state.samples = values;
    state.n = 3;
    EXPECT_EQ(scaleParameter(1), 2.0);
    EXPECT_NEAR(scaleParameter(2), 14.0 / 3.0, 1e-15);
    state.samples = nullptr;
}

std::uint64_t bitsOf(double value) { return std::bit_cast<std::uint64_t>(value); }

// Bits recorded from the shift-and-series procedure written out literally in C (x86-64, glibc
// libm, -ffp-contract=off), so that any other recipe for the gamma function fails here even where
// it is closer to the true value.
struct Statistics {
    double m, t0, gamma;
    std::uint64_t mu, sigma2, xi, tm;
};
const Statistics recordedStatistics[] = {
    {1, 2, 0, 0x3FFFFFFFFFFFFFF0, 0x4010000000000001, 0x3FF62E42FEFA39EF, 0},
    {2, 4, 1, 0x40062DFC48DA77BE, 0x3FEB7812AEEF4AEC, 0x40055224C8B0E6A4, 0x4003504F333F9DE6},
    // The mode of a shape at or below 1 is the number zero, not gamma.
    {0.5, 1, 10, 0x4027FFFFFFFFFFFE, 0x4034000000000002, 0x4024F5FDEFFC162C, 0},
    // The ball bearing example with Auto Gamma.
    {1.8513041004866533, 2779.8637977124476, 8.057767378547009, 0x40521CBF350A3939, 0x40945941AE63036F,
     0x4050E22CA86E39B5, 0x404BDACA1D9259BC},
};

TEST(ScaleStatistics, StatisticsToTheBit)
{
    for (const Statistics& s : recordedStatistics) {
        resetHostAndState();
        state.m = s.m;
        state.t0 = s.t0;
        state.gamma = s.gamma;
        computeStatistics();
        EXPECT_EQ(bitsOf(state.mu), s.mu) << "m " << s.m;
        EXPECT_EQ(bitsOf(state.sigma2), s.sigma2) << "m " << s.m;
        EXPECT_EQ(bitsOf(state.xi), s.xi) << "m " << s.m;
        EXPECT_EQ(bitsOf(state.tm), s.tm) << "m " << s.m;
    }
}

TEST(ScaleStatistics, GammaFunctionToTheBit)
{
    const struct {
        double x;
        std::uint64_t bits;
    } recorded[] = {
        {1.5, 0x3FEC5BF891B4EF7B},   {2, 0x3FEFFFFFFFFFFFF0},  {3, 0x3FFFFFFFFFFFFFF1},
        {8, 0x40B3AFFFFFFFFFF8},     {10, 0x4116260000000008}, {0.5, 0x3FFC5BF891B4EF6D},
        {25.3, 0x44F57A2EC7F98031},  {1 + 1 / 1.8513041004866533, 0x3FEC6C095E6BBAB6},
        {1 + 2 / 1.8513041004866533, 0x3FF09628E2160B98},
        // Below zero, as the written arithmetic gives: a negative product's logarithm is the
        // indefinite NaN; a product that overflows to plus infinity gives 0; -3 meets the factor 0
        // with a finite product, -0, whose logarithm is minus infinity.
        {-0.5, indefiniteBits},      {-170.5, indefiniteBits}, {-200.5, indefiniteBits},
        {-250, indefiniteBits},      {-201.5, 0},              {-171.5, 0},
        {-3, 0x7FF0000000000000},
    };
    for (const auto& r : recorded)
        EXPECT_EQ(bitsOf(gammaFunction(r.x)), r.bits) << r.x;
}

TEST(ScaleStatistics, GammaFunctionAlwaysEnds)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(bitsOf(gammaFunction(-inf)), indefiniteBits);
    EXPECT_EQ(bitsOf(gammaFunction(-1e17)), indefiniteBits);
    // About 1e15 shifts as written: the product overflows within a few dozen, and the factor 0 still
    // ahead makes it NaN.
    EXPECT_EQ(bitsOf(gammaFunction(-1e15)), indefiniteBits);
    EXPECT_EQ(bitsOf(gammaFunction(-1e15 - 0.5)), indefiniteBits) << "an odd number of negative factors";
    EXPECT_EQ(bitsOf(gammaFunction(-1e15 + 0.5)), 0u) << "an even number of negative factors";
    EXPECT_TRUE(std::isnan(gammaFunction(std::nan(""))));
}

} // namespace

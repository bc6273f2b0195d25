// Tests of formatScientific: the fixed texts the dialog and the report rely on, and a comparison with
// an independent rendering of the two-stage rounding over many doubles.
#include "number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

double fromBits(std::uint64_t bits)
{
    return std::bit_cast<double>(bits);
}

struct Expected {
    double value;
    const char* dialog; // width 6, precision 4
    const char* report; // width 12, precision 8
};

void expectBothForms(const Expected& c)
{
    EXPECT_EQ(formatScientific(c.value, 6, 4), c.dialog) << std::bit_cast<std::uint64_t>(c.value);
    EXPECT_EQ(formatScientific(c.value, 12, 8), c.report) << std::bit_cast<std::uint64_t>(c.value);
}

TEST(NumberText, OrdinaryValues)
{
    const Expected cases[] = {
        {1.0, " 1.0000e+000", " 1.00000000e+000"},
        {0.5, " 5.0000e-001", " 5.00000000e-001"},
        {-0.25, "-2.5000e-001", "-2.50000000e-001"},
        {123456.789, " 1.2346e+005", " 1.23456789e+005"},
        {1e-300, " 1.0000e-300", " 1.00000000e-300"},
        {1e300, " 1.0000e+300", " 1.00000000e+300"},
    };
    for (const Expected& c : cases)
        expectBothForms(c);
}

TEST(NumberText, ZeroHasNoSign)
{
    expectBothForms({0.0, " 0.0000e+000", " 0.00000000e+000"});
    expectBothForms({-0.0, " 0.0000e+000", " 0.00000000e+000"});
}

TEST(NumberText, CarryOutOfFirstDigitRaisesExponent)
{
    expectBothForms({9.99995, " 1.0000e+001", " 9.99995000e+000"});
    expectBothForms({-9.999999999, "-1.0000e+001", "-1.00000000e+001"});
    expectBothForms({9.99999999999e-11, " 1.0000e-010", " 1.00000000e-010"});
}

// The doubles nearest 2.54555 and 1.000000005 lie just below them, but their 17-digit forms end in
// 5 followed by zeros, and the printed digits are rounded from those.
TEST(NumberText, PrintedDigitsAreRoundedFromSeventeenDigits)
{
    ASSERT_LT(2.54555, 2.54555L);
    expectBothForms({2.54555, " 2.5456e+000", " 2.54555000e+000"});
    expectBothForms({1.000000005, " 1.0000e+000", " 1.00000001e+000"});
}

// Sixteen places show the 17-digit string itself, and places beyond it are zeros.
TEST(NumberText, SeventeenDigitStringRoundsHalvesUp)
{
    // 1 + 2^-17 is exactly 1.00000762939453125: a tie at the 17th digit, which goes up, not to even.
    EXPECT_EQ(formatScientific(1.0 + std::ldexp(1.0, -17), 0, 16), " 1.0000076293945313e+000");
    EXPECT_EQ(formatScientific(-1.0 - std::ldexp(1.0, -17), 0, 16), "-1.0000076293945313e+000");
    // The double nearest 1e-14 is 9.99999999999999998819...e-15: a carry out of the first digit.
    EXPECT_EQ(formatScientific(1e-14, 0, 16), " 1.0000000000000000e-014");
    // 0.1 is exactly 1.000000000000000055511...e-1.
    EXPECT_EQ(formatScientific(0.1, 0, 20), " 1.00000000000000010000e-001");
}

TEST(NumberText, ExtremeExponents)
{
    const double smallest = std::numeric_limits<double>::denorm_min();
    const double largest = std::numeric_limits<double>::max();
    expectBothForms({smallest, " 4.9407e-324", " 4.94065646e-324"});
    expectBothForms({-smallest, "-4.9407e-324", "-4.94065646e-324"});
    expectBothForms({std::numeric_limits<double>::min(), " 2.2251e-308", " 2.22507386e-308"});
    expectBothForms({largest, " 1.7977e+308", " 1.79769313e+308"});
    expectBothForms({-largest, "-1.7977e+308", "-1.79769313e+308"});
}

TEST(NumberText, InfinitiesAndNaNs)
{
    const Expected cases[] = {
        {fromBits(0x7FF0000000000000), " 1.#INFe+000", " 1.#INF0000e+000"},
        {fromBits(0xFFF0000000000000), "-1.#INFe+000", "-1.#INF0000e+000"},
        {fromBits(0xFFF8000000000000), "-1.#INDe+000", "-1.#IND0000e+000"},
        // The indefinite pattern without its sign bit is an ordinary quiet NaN.
        {fromBits(0x7FF8000000000000), " 1.#QNBe+000", " 1.#QNAN000e+000"},
        {fromBits(0xFFF8000000000001), "-1.#QNBe+000", "-1.#QNAN000e+000"},
        {fromBits(0x7FFFFFFFFFFFFFFF), " 1.#QNBe+000", " 1.#QNAN000e+000"},
        {fromBits(0x7FF0000000000001), " 1.#SNBe+000", " 1.#SNAN000e+000"},
        {fromBits(0xFFF7FFFFFFFFFFFF), "-1.#SNBe+000", "-1.#SNAN000e+000"},
    };
    for (const Expected& c : cases)
        expectBothForms(c);
}

TEST(NumberText, InvalidOperationGivesIndefinite)
{
    volatile double zero = 0.0;
    EXPECT_EQ(formatScientific(zero / zero, 6, 4), "-1.#INDe+000");
    EXPECT_EQ(formatScientific(1.0 / zero, 6, 4), " 1.#INFe+000");
}

TEST(NumberText, NonFiniteTextsAtOtherPrecisions)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatScientific(inf, 0, 1), " 1.$e+000");
    EXPECT_EQ(formatScientific(inf, 0, 3), " 1.#IOe+000");
    EXPECT_EQ(formatScientific(fromBits(0x7FF8000000000000), 0, 5), " 1.#QNANe+000");
}

TEST(NumberText, WidthPadsWithLeadingSpaces)
{
    EXPECT_EQ(formatScientific(-2.0, 16, 4), "    -2.0000e+000");
    EXPECT_EQ(formatScientific(-std::numeric_limits<double>::infinity(), 14, 4), "  -1.#INFe+000");
    EXPECT_EQ(formatScientific(2.0, 3, 4), " 2.0000e+000");
}

// The two-stage rounding done another way: whole numbers of digits taken from the C library's exact
// expansion (glibc prints every digit of a double exactly).
std::string independentText(double value, int precision)
{
    char exact[800];
    std::snprintf(exact, sizeof exact, "%.766e", std::fabs(value));
    std::uint64_t eighteenDigits = static_cast<std::uint64_t>(exact[0] - '0');
    for (int i = 2; i < 19; ++i)
        eighteenDigits = eighteenDigits * 10 + static_cast<std::uint64_t>(exact[i] - '0');
    int exponent = std::atoi(std::strchr(exact, 'e') + 1);

    auto power = [](int k) {
        std::uint64_t p = 1;
        while (k-- > 0)
            p *= 10;
        return p;
    };
    std::uint64_t seventeen = (eighteenDigits + 5) / 10;
    if (seventeen == power(17)) {
        seventeen = power(16);
        ++exponent;
    }
    std::uint64_t printed = (seventeen / power(15 - precision) + 5) / 10;
    if (printed == power(precision + 1)) {
        printed = power(precision);
        ++exponent;
    }
    if (value == 0.0) {
        printed = 0;
        exponent = 0;
    }

    char text[64];
    std::snprintf(text, sizeof text, "%c%0*llu", std::signbit(value) && value != 0.0 ? '-' : ' ',
                  precision + 1, static_cast<unsigned long long>(printed));
    const std::string digits(text);
    std::snprintf(text, sizeof text, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return digits.substr(0, 2) + "." + digits.substr(2) + text;
}

void expectMatchesIndependent(double value)
{
    for (int precision : {4, 8}) {
        const std::string text = formatScientific(value, precision + 2, precision);
        ASSERT_EQ(text.size(), static_cast<std::size_t>(precision + 8));
        if (std::isfinite(value)) {
            ASSERT_EQ(text, independentText(value, precision)) << std::bit_cast<std::uint64_t>(value);
        }
    }
}

TEST(NumberText, RandomBitPatternsMatchIndependentRounding)
{
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 200000; ++i)
        expectMatchesIndependent(fromBits(random()));
}

// Short decimals ending in 5 sit on or next to the second-stage tie, where rounding the exact value
// and rounding the 17-digit string disagree.
TEST(NumberText, DecimalTiesMatchIndependentRounding)
{
    std::mt19937_64 random(7);
    std::uniform_int_distribution<long long> dialogDigits(10000, 99999);
    std::uniform_int_distribution<long long> reportDigits(100000000, 999999999);
    std::uniform_int_distribution<int> exponents(-320, 300);
    for (int i = 0; i < 50000; ++i) {
        char decimal[64];
        const long long digits = i % 2 == 0 ? dialogDigits(random) : reportDigits(random);
        std::snprintf(decimal, sizeof decimal, "%lld5e%d", digits, exponents(random));
        expectMatchesIndependent(std::strtod(decimal, nullptr));
    }
}

} // namespace

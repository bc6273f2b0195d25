// Fuzz target: formatScientific on any 64-bit pattern, in the dialog's form (6, 4) and the report's
// (12, 8), and in one more form whose width and precision come from the input. The text must have
// exactly P + 8 characters (or W when wider), match the two-stage rounding worked out here from the
// C library's exact digits, and read back within what the two roundings can move the value.
#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "number_text.h"

namespace {

constexpr std::uint64_t signBit = std::uint64_t{1} << 63;
constexpr std::uint64_t exponentBits = std::uint64_t{0x7FF} << 52;
constexpr std::uint64_t fractionBits = (std::uint64_t{1} << 52) - 1;
constexpr std::uint64_t quietBit = std::uint64_t{1} << 51;

struct Digits {
    std::string chars; // the first stands before the full stop
    int exponent;
};

// Every digit of the magnitude: glibc's printf expands a double exactly, and none has more than
// 767 significant digits.
Digits exactDigits(double magnitude)
{
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, "%.766e", magnitude);
    const char* e = std::strchr(buffer, 'e');
    return {std::string(1, buffer[0]) + std::string(buffer + 2, static_cast<std::size_t>(e - buffer - 2)),
            std::atoi(e + 1)};
}

// Cuts to `keep` characters, zero-filled; a dropped character of '5' or above (any letter is) adds one
// to the last kept character, and a carry past the first character makes it "1000..." one decade up.
Digits roundHalfUp(Digits d, std::size_t keep)
{
    const bool up = d.chars.size() > keep && d.chars[keep] >= '5';
    d.chars.resize(keep, '0');
    if (!up)
        return d;
    for (std::size_t i = keep; i-- > 0;) {
        if (d.chars[i] != '9') {
            ++d.chars[i];
            return d;
        }
        d.chars[i] = '0';
    }
    d.chars[0] = '1';
    ++d.exponent;
    return d;
}

Digits expectedDigits(double value, std::uint64_t bits, int precision)
{
    const std::size_t printed = static_cast<std::size_t>(precision) + 1;
    if ((bits & exponentBits) == exponentBits) {
        const char* text = (bits & fractionBits) == 0                  ? "1#INF"
                           : bits == (signBit | exponentBits | quietBit) ? "1#IND"
                           : (bits & quietBit) != 0                      ? "1#QNAN"
                                                                         : "1#SNAN";
        return roundHalfUp({text, 0}, printed);
    }
    if (value == 0)
        return {std::string(printed, '0'), 0};
    return roundHalfUp(roundHalfUp(exactDigits(std::fabs(value)), 17), printed);
}

std::string expectedText(double value, int width, int precision)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const Digits d = expectedDigits(value, bits, precision);
    char exponent[8];
    std::snprintf(exponent, sizeof exponent, "e%c%03d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
    std::string text = ((bits & signBit) != 0 && value != 0) ? "-" : " ";
    text += d.chars[0];
    text += '.';
    text += d.chars.substr(1);
    text += exponent;
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

[[noreturn]] void fail(const char* what, double value, int width, int precision, const std::string& text)
{
    std::fprintf(stderr, "formatScientific(%a [%016llx], %d, %d) = \"%s\": %s\n", value,
                 static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(value)), width, precision,
                 text.c_str(), what);
    std::abort();
}

// The printed number is within half a unit in its last place of the 17-digit string, and that string
// within half a unit in its 17th digit of the value. long double holds the value exactly and the text
// to within two of its units (down to the smallest subnormal), which the bound allows for.
void checkReadsBack(double value, int width, int precision, const std::string& text)
{
    const std::size_t e = text.rfind('e');
    const long double back = std::strtold(text.c_str(), nullptr);
    const int exponent = std::atoi(text.c_str() + e + 1);
    const long double bound = 0.5L * std::pow(10.0L, exponent - precision) +
                              0.5L * std::pow(10.0L, exponent - 16) + 2 * LDBL_EPSILON * std::fabs(back);
    if (!(std::fabs(back - static_cast<long double>(value)) <= bound))
        fail("does not read back near the value", value, width, precision, text);
}

void check(double value, int width, int precision)
{
    const std::string text = formatScientific(value, width, precision);
    const std::size_t length = std::max<std::size_t>(static_cast<std::size_t>(precision) + 8,
                                                     static_cast<std::size_t>(width));
    if (text.size() != length)
        fail("wrong length", value, width, precision, text);
    if (text != expectedText(value, width, precision))
        fail(("expected \"" + expectedText(value, width, precision) + "\"").c_str(), value, width, precision,
             text);
    if (std::isfinite(value))
        checkReadsBack(value, width, precision, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(std::uint64_t))
        return 0;
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    const double value = std::bit_cast<double>(bits);

    check(value, 6, 4);
    check(value, 12, 8);
    if (size >= sizeof bits + 2)
        check(value, data[9] % 64, 1 + data[8] % 40);
    return 0;
}

// The program's one number-to-text conversion, "% W.Pe" with a three-digit exponent. The digits are
// worked out here from the exact decimal value of the double, never by a runtime's printf, so the
// dialog and the report show the same characters on every platform.
#include "number_text.h"

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>

namespace {

// The finite digits are first rounded to this many significant digits; the printed digits are then
// rounded from that digit string, not from the exact value (2.54555 prints as 2.5456).
constexpr int significantDigits = 17;

// No double has more significant decimal digits than this in its exact expansion.
constexpr int exactDigitCount = 767;

constexpr std::uint64_t signBit = std::uint64_t{1} << 63;
constexpr std::uint64_t exponentMask = std::uint64_t{0x7FF} << 52;
constexpr std::uint64_t fractionMask = (std::uint64_t{1} << 52) - 1;
constexpr std::uint64_t quietBit = std::uint64_t{1} << 51;
// The NaN that invalid operations produce on the target: sign set, quiet bit set, nothing else.
constexpr std::uint64_t indefiniteNaN = signBit | exponentMask | quietBit;

// Leading characters of a number (digits, or the text of an infinity or NaN) with the decimal
// exponent of the first one.
struct Significand {
    std::string chars;
    int exponent;
};

// The exact decimal expansion of a finite, non-zero magnitude, one digit per character.
Significand exactDecimal(double magnitude)
{
    // "d." + 766 digits + "e-324" at most.
    char buffer[exactDigitCount + 16];
    const std::to_chars_result end = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                                   std::chars_format::scientific, exactDigitCount - 1);
    const std::string text(buffer, end.ptr);
    const std::size_t e = text.find('e');

    Significand result{text.substr(0, 1) + text.substr(2, e - 2), 0};
    int exponent = 0;
    for (std::size_t i = e + 2; i < text.size(); ++i)
        exponent = exponent * 10 + (text[i] - '0');
    result.exponent = text[e + 1] == '-' ? -exponent : exponent;
    return result;
}

// Keeps the first `keep` characters, filling up with zeros, and rounds them up in the last place when
// the next character is '5' or above. The comparison is on character codes, so every letter rounds up
// too: that is how "1#QNAN" becomes "1#QNB" at four places. Nines carry leftwards; a carry out of
// the first character leaves 1 followed by zeros and raises the exponent.
void roundTo(Significand& s, std::size_t keep)
{
    const bool up = s.chars.size() > keep && s.chars[keep] >= '5';
    s.chars.resize(keep, '0');
    if (!up)
        return;
    std::size_t i = keep;
    while (i > 0 && s.chars[i - 1] == '9')
        s.chars[--i] = '0';
    if (i == 0) {
        s.chars[0] = '1';
        ++s.exponent;
    } else {
        ++s.chars[i - 1];
    }
}

// The text that stands in for the digits of an infinity or a NaN.
const char* nonFiniteText(std::uint64_t bits)
{
    if ((bits & fractionMask) == 0)
        return "1#INF";
    if (bits == indefiniteNaN)
        return "1#IND";
    return (bits & quietBit) != 0 ? "1#QNAN" : "1#SNAN";
}

Significand significandOf(double value, std::uint64_t bits, int precision)
{
    const std::size_t printed = static_cast<std::size_t>(precision) + 1;
    if ((bits & exponentMask) == exponentMask) {
        Significand s{nonFiniteText(bits), 0};
        roundTo(s, printed);
        return s;
    }
    if (value == 0.0)
        return Significand{std::string(printed, '0'), 0};

    Significand s = exactDecimal(value < 0.0 ? -value : value);
    roundTo(s, significantDigits);
    roundTo(s, printed);
    return s;
}

// First character, full stop, the rest, then "e", the exponent's sign and three digits.
std::string layOut(const Significand& s)
{
    const int magnitude = s.exponent < 0 ? -s.exponent : s.exponent;
    std::string text;
    text.reserve(s.chars.size() + 6);
    text += s.chars[0];
    text += '.';
    text.append(s.chars, 1);
    text += 'e';
    text += s.exponent < 0 ? '-' : '+';
    text += static_cast<char>('0' + magnitude / 100);
    text += static_cast<char>('0' + magnitude / 10 % 10);
    text += static_cast<char>('0' + magnitude % 10);
    return text;
}

} // namespace

std::string formatScientific(double value, int width, int precision)
{
    // Every caller asks for at least one place; fewer would leave a full stop with nothing after it.
    if (precision < 1)
        precision = 1;

    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    // Negative zero is written like positive zero; a NaN keeps the sign its bit gives it.
    const bool minus = (bits & signBit) != 0 && value != 0.0;

    std::string text(1, minus ? '-' : ' ');
    text += layOut(significandOf(value, bits, precision));
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

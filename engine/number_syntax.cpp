// Conversion of the decimal number syntax shared by data lines and option values.
// std::from_chars gives the correctly rounded double; around it this file handles what that syntax
// adds (d/D exponents, an exponent letter without digits) and what from_chars reports as an error
// but the syntax defines (infinity on overflow, zero on total underflow). Short numbers, the
// usual content of a data file, take an exact path that gives the same correctly rounded double
// without building any text.
#include "number_syntax.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The decimal exponent of the leading digit of a nonzero mantissa times 10^exponent, enough to tell an
// overflow from an underflow when from_chars gives up. Saturates instead of wrapping.
long long leadingDigitExponent(const std::string& mantissa, long long exponent)
{
    const std::size_t point = mantissa.find('.');
    const std::size_t intDigits = point == std::string::npos ? mantissa.size() : point;
    std::size_t firstNonZero = mantissa.find_first_not_of("0.");
    long long position = static_cast<long long>(intDigits) - 1;
    if (firstNonZero != std::string::npos) {
        position = firstNonZero < intDigits
            ? static_cast<long long>(intDigits - firstNonZero) - 1
            : -static_cast<long long>(firstNonZero - intDigits);
    }
    return position + exponent;
}

// Every power of ten up to 10^22 is exactly a double.
constexpr double exactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t largestExactInteger = std::uint64_t{1} << 53;

// The mantissa's digits as an integer while they fit, for the common short number.
struct ShortDecimal {
    std::uint64_t digits = 0;
    int significantDigits = 0; // counted from the first nonzero digit
    long long fractionDigits = 0;
    bool anyDigit = false;

    void addDigit(char c)
    {
        anyDigit = true;
        if (significantDigits == 0 && c == '0')
            return;
        if (++significantDigits <= 19)
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    }

    // When the digits and the power of ten are both exact doubles, one multiplication or division
    // rounds once and so gives the nearest double; false when the number needs the general conversion.
    bool convertExactly(long long exponent, double& value) const
    {
        if (significantDigits > 19 || digits > largestExactInteger)
            return false;
        const long long power = exponent - fractionDigits;
        if (power < -22 || power > 22)
            return false;
        const double whole = static_cast<double>(digits);
        value = power < 0 ? whole / exactPowersOfTen[-power] : whole * exactPowersOfTen[power];
        return true;
    }
};

// The nearest double to mantissa (digits with at most one full stop) times 10^exponent, with
// infinity on overflow and zero on total underflow.
double convertDecimal(const std::string& mantissa, long long exponent)
{
    const std::string number = mantissa + "e" + std::to_string(exponent);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::scientific);
    if (result.ec == std::errc::result_out_of_range) {
        value = leadingDigitExponent(mantissa, exponent) > 0 ? std::numeric_limits<double>::infinity()
                                                             : 0.0;
    }
    return value;
}

} // namespace

double readNumber(const char* text, const char** end)
{
    const char* p = text;
    while (isBlank(*p))
        ++p;

    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }

    const char* const mantissaBegin = p;
    ShortDecimal decimal;
    while (isDigit(*p))
        decimal.addDigit(*p++);
    if (*p == '.') {
        ++p;
        while (isDigit(*p)) {
            decimal.addDigit(*p++);
            ++decimal.fractionDigits;
        }
    }
    const char* const mantissaEnd = p;
    if (!decimal.anyDigit) {
        if (end)
            *end = text;
        return 0.0;
    }

    long long exponent = 0;
    if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '+' || *q == '-') {
            negativeExponent = *q == '-';
            ++q;
        }
        if (isDigit(*q)) {
            while (isDigit(*q)) {
                if (exponent < 1000000000LL)
                    exponent = exponent * 10 + (*q - '0');
                ++q;
            }
            if (negativeExponent)
                exponent = -exponent;
            p = q;
        }
    }
    if (end)
        *end = p;

    double value = 0.0;
    if (!decimal.convertExactly(exponent, value))
        value = convertDecimal(std::string(mantissaBegin, mantissaEnd), exponent);
    return negative ? -value : value;
}

bool readWholeNumber(const char* text, double& value)
{
    // readNumber skips leading white space, as a data line needs; a value as a whole has none before
    // it, as none after it and none around the digits-only values (a seed, a count).
    if (isBlank(*text))
        return false;
    const char* end = nullptr;
    value = readNumber(text, &end);
    return end != text && *end == '\0' && std::isfinite(value);
}

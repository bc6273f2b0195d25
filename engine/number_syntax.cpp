// Conversion of the decimal number syntax shared by data lines and option values.
// std::from_chars gives the correctly rounded double; around it this file handles what that syntax
// adds (d/D exponents, an exponent letter without digits) and what from_chars reports as an error
// but the syntax defines (infinity on overflow, zero on total underflow).
#include "number_syntax.h"

#include <charconv>
#include <cmath>
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

    std::string mantissa;
    bool anyDigit = false;
    while (isDigit(*p)) {
        mantissa += *p++;
        anyDigit = true;
    }
    if (*p == '.') {
        mantissa += *p++;
        while (isDigit(*p)) {
            mantissa += *p++;
            anyDigit = true;
        }
    }
    if (!anyDigit) {
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

    const std::string number = mantissa + "e" + std::to_string(exponent);
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::scientific);
    if (result.ec == std::errc::result_out_of_range) {
        value = leadingDigitExponent(mantissa, exponent) > 0 ? std::numeric_limits<double>::infinity()
                                                             : 0.0;
    }
    return negative ? -value : value;
}

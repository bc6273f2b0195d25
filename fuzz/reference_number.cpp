// The reference reading of a number. strtod would also take hexadecimal forms, "inf", "nan" and a
// locale's decimal point, none of which the syntax has; so the prefix is delimited here first, with
// a d or D exponent letter written as e, and strtod only converts what must be a plain decimal number.
// The fuzz programs never call setlocale, so strtod works in the "C" locale.
#include "reference_number.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

bool whiteSpace(char c) { return c != '\0' && std::strchr(" \t\n\v\f\r", c) != nullptr; }

// Appends the run of digits at text[i] to `out`; returns how many there were.
std::size_t takeDigits(const char* text, std::size_t& i, std::string& out)
{
    const std::size_t start = i;
    while (digit(text[i]))
        out += text[i++];
    return i - start;
}

} // namespace

ReferenceNumber referenceNumber(const char* text)
{
    std::size_t i = 0;
    while (whiteSpace(text[i]))
        ++i;

    std::string number;
    if (text[i] == '+' || text[i] == '-')
        number += text[i++];
    std::size_t mantissaDigits = takeDigits(text, i, number);
    if (text[i] == '.') {
        number += text[i++];
        mantissaDigits += takeDigits(text, i, number);
    }
    if (mantissaDigits == 0)
        return {0.0, 0};

    const char letter = text[i];
    if (letter == 'e' || letter == 'E' || letter == 'd' || letter == 'D') {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (text[j] == '+' || text[j] == '-')
            exponent += text[j++];
        if (takeDigits(text, j, exponent) > 0) {
            number += exponent;
            i = j;
        }
    }

    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (*end != '\0') {
        std::fprintf(stderr, "reference: strtod stopped inside \"%s\"\n", number.c_str());
        std::abort();
    }
    return {value, i};
}

bool referenceWholeNumber(const char* text, double& value)
{
    const ReferenceNumber number = referenceNumber(text);
    value = number.value;
    return number.length > 0 && text[number.length] == '\0';
}

// std::to_chars in its general form: locale-free and the same on every platform, unlike printf.
// It switches to an exponent below 1e-4 and from 1e6 on, where plain digits would mostly be zeros.
#include "life/readable_number.h"

#include <charconv>
#include <cmath>

std::string readableNumber(double value)
{
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    return std::string(text, end.ptr);
}

std::string readableSigned(double value)
{
    return (std::signbit(value) ? "" : " ") + readableNumber(value);
}

// The conversions between double and decimal text (std::from_chars, std::to_chars) and std::bit_cast
// for the browser page's build. Debian's emscripten ships a C++ library whose <charconv> converts
// integers only and whose <bit> lacks bit_cast. Forced into every source of that build (never the
// native one), this header supplies them from the C library, whose strtod and printf are exact in
// emscripten's libc: the same doubles are read and the same text is written as on the command line.
#pragma once

#include <charconv>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <type_traits>

namespace std {

template <class To, class From>
    requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> && is_trivially_copyable_v<From>)
To bit_cast(const From& from) noexcept
{
    return __builtin_bit_cast(To, from);
}

// Out-of-range results are left as strtod gives them (infinity, zero): the number reader, the only
// caller, puts exactly these there.
inline from_chars_result from_chars(const char* first, const char* last, double& value, chars_format = chars_format::general)
{
    const string text(first, last);
    char* end = nullptr;
    value = strtod(text.c_str(), &end);
    return {first + (end - text.c_str()), errc()};
}

namespace varnel_charconv {

inline to_chars_result copyText(char* first, char* last, const string& text)
{
    if (text.size() > static_cast<size_t>(last - first))
        return {last, errc::value_too_large};
    memcpy(first, text.data(), text.size());
    return {first + text.size(), errc()};
}

inline string printed(const char* format, int precision, double value)
{
    const int size = snprintf(nullptr, 0, format, precision, value);
    string text(static_cast<size_t>(size) + 1, '\0');
    snprintf(text.data(), text.size(), format, precision, value);
    text.resize(static_cast<size_t>(size));
    return text;
}

// The shortest text that reads back as `value`: the fewest significant digits that round-trip, written
// in fixed or scientific notation, whichever is shorter (fixed on a tie).
inline string shortest(double value)
{
    if (!isfinite(value) || value == 0)
        return printed("%.*g", 1, value);
    string scientific;
    for (int precision = 0; precision < 17; ++precision) {
        scientific = printed("%.*e", precision, value);
        if (strtod(scientific.c_str(), nullptr) == value)
            break;
    }
    const size_t e = scientific.find('e');
    const bool negative = scientific[0] == '-';
    string digits = scientific.substr(negative ? 1 : 0, e - (negative ? 1 : 0));
    digits.erase(remove(digits.begin(), digits.end(), '.'), digits.end());
    const int exponent = atoi(scientific.c_str() + e + 1);
    const int count = static_cast<int>(digits.size());
    string fixed;
    if (exponent >= count - 1)
        fixed = digits + string(static_cast<size_t>(exponent - count + 1), '0');
    else if (exponent >= 0)
        fixed = digits.substr(0, static_cast<size_t>(exponent + 1)) + "." + digits.substr(static_cast<size_t>(exponent + 1));
    else
        fixed = "0." + string(static_cast<size_t>(-exponent - 1), '0') + digits;
    if (negative)
        fixed = "-" + fixed;
    return fixed.size() <= scientific.size() ? fixed : scientific;
}

} // namespace varnel_charconv

inline to_chars_result to_chars(char* first, char* last, double value)
{
    return varnel_charconv::copyText(first, last, varnel_charconv::shortest(value));
}

inline to_chars_result to_chars(char* first, char* last, double value, chars_format format, int precision)
{
    const char* pattern = format == chars_format::scientific ? "%.*e" : format == chars_format::fixed ? "%.*f" : "%.*g";
    return varnel_charconv::copyText(first, last, varnel_charconv::printed(pattern, precision, value));
}

} // namespace std

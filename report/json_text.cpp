// The JSON text of numbers, strings and objects.
#include "json_text.h"

#include <charconv>
#include <cmath>

#include "number_text.h"
#include "utf8_text.h"

namespace {

const char hexDigits[] = "0123456789abcdef";

void appendUnicodeEscape(std::string& out, char32_t c)
{
    out += "\\u00";
    out += hexDigits[(c >> 4) & 0xF];
    out += hexDigits[c & 0xF];
}

} // namespace

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = nextCharacter(text, pos);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || (c >= 0x80 && pos - start == 1)) {
            appendUnicodeEscape(out, c);
        } else {
            appendUtf8(out, c);
        }
    }
    return out + "\"";
}

std::string jsonNumber(double value)
{
    if (!std::isfinite(value))
        return "null";
    // "-0" would be read as the integer 0 by most parsers, losing the sign.
    if (value == 0 && std::signbit(value))
        return "-0.0";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

void JsonObject::addNumber(const char* key, double value)
{
    add(key, jsonNumber(value));
    if (!std::isfinite(value))
        add((std::string(key) + "Text").c_str(), jsonString(formatScientific(value, 12, 8)));
}

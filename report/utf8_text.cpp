// Strict UTF-8 decoding: overlong forms, surrogates and values beyond U+10FFFF are not valid
// sequences, so their bytes are read one by one as Latin-1.
#include "utf8_text.h"

namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

} // namespace

char32_t nextCharacter(const std::string& text, std::size_t& pos)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[pos + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t smallest = 0;
    char32_t c = 0;
    if (lead >= 0xC0 && lead < 0xE0) {
        length = 2;
        smallest = 0x80;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
        smallest = 0x800;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF8) {
        length = 4;
        smallest = 0x10000;
        c = lead & 0x07;
    }
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return lead;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(byte(k))) {
            ++pos;
            return lead;
        }
        c = (c << 6) | (byte(k) & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return lead;
    }
    pos += length;
    return c;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

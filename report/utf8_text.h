// Reading byte strings (file names above all) as Unicode text for the program's SVG and JSON output.
// A Linux file name is any sequence of bytes and need not be UTF-8. Valid UTF-8 sequences are read as
// the characters they encode; every other byte is read as the character with the same number
// (U+0080 to U+00FF, its Latin-1 reading). Nothing is dropped, and what is written from the
// characters is always valid UTF-8.
#pragma once

#include <cstddef>
#include <string>

// The character that begins at `text[pos]`; advances `pos` past its bytes. A character of U+0080 or
// above that took a single byte is a byte that did not begin valid UTF-8.
char32_t nextCharacter(const std::string& text, std::size_t& pos);

// Appends `c` to `out` in UTF-8.
void appendUtf8(std::string& out, char32_t c);

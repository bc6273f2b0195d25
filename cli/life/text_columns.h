// Columns of the life-data text: a cell padded with spaces to its column's width.
#pragma once

#include <cstddef>
#include <string>

// `text` followed by spaces up to `width` characters; a longer text is left as it is.
std::string padded(std::string text, std::size_t width);

// Columns of the life-data text.
#include "life/text_columns.h"

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

// The line test of data files, shared by the classic reader and the life-data reader, and the
// life-data reader's whole lines.
#include "text_lines.h"

#include <limits>

std::string_view WholeLineReader::nextLine()
{
    // Most lines lie whole in the buffer and are read in place; the others (a CR or a Ctrl-Z in them,
    // or across the buffer's end) are put together here by the text-mode rules.
    std::size_t size = 0;
    if (const char* plain = text.nextPlainLine(std::numeric_limits<std::size_t>::max(), size))
        return {plain, size};
    assembled.clear();
    for (int c; (c = text.nextChar()) != EOF;) {
        assembled.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
    }
    return assembled;
}

bool isDataLine(const char* line)
{
    for (const char* p = line;; ++p) {
        const char c = *p;
        if (c == '\0')
            return true;
        if (c >= '0' && c <= '9')
            return true;
        if ((c == '.' || c == 'e' || c == 'E') && p[1] >= '0' && p[1] <= '9')
            return true;
        if (c != ' ' && c != '\t')
            return false;
    }
}

// The line test of data files, shared by the classic reader and the life-data reader.
#include "text_lines.h"

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

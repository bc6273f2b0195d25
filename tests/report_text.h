// The report of the last run as one string, for comparing it whole: written through the same
// stream writer as a saved report, into a temporary file that is read back.
#pragma once

#include <cstdio>
#include <string>

#include "report_file.h"

inline std::string reportText()
{
    std::FILE* file = std::tmpfile();
    if (!file)
        return "(no temporary file)";
    std::string text;
    if (writeReportTo(file) && std::fflush(file) == 0) {
        std::rewind(file);
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, got);
    }
    std::fclose(file);
    return text;
}

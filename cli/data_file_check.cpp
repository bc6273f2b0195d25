// The checks of a data file before it is read.
#include "data_file_check.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

std::string dataFileProblem(const std::string& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status))
        return path + ": no such file";
    if (std::filesystem::is_directory(status))
        return path + ": is a directory";
    // The file is read twice, from the start each time: a pipe cannot be, and a device may block
    // or never end (/dev/zero), which no Ctrl-C of the iteration could stop.
    if (!std::filesystem::is_regular_file(status))
        return path + ": not a regular file";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return path + ": " + std::strerror(errno);
    std::fclose(file);
    return "";
}


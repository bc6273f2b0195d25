// Scratch files of the Windows tests.
#include "test_files.h"

#include <windows.h>

#include <fstream>
#include <sstream>

std::string scratchPath(const std::string& name)
{
    CreateDirectoryA("win32-test-files", nullptr);
    char full[MAX_PATH];
    GetFullPathNameA(("win32-test-files\\" + name).c_str(), MAX_PATH, full, nullptr);
    return full;
}

std::string writeFile(const std::string& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    return path;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

bool pathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

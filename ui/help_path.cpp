// The help file's path. A path that would not fit is left empty rather than cut, and the Help
// commands then do nothing, since a cut path would name the wrong file.
#include "help_path.h"

#include <windows.h>

#include <cstring>

#include "estimation_state.h"

namespace {

const char helpFileName[] = "Varnel.hlp";

}

void helpPathBeside(const char* exePath, char* helpPath, std::size_t capacity)
{
    const char* lastBackslash = std::strrchr(exePath, '\\');
    const std::size_t folderLength = lastBackslash ? lastBackslash - exePath + 1 : 0;
    if (folderLength + sizeof helpFileName > capacity) {
        helpPath[0] = '\0';
        return;
    }
    std::memcpy(helpPath, exePath, folderLength);
    std::memcpy(helpPath + folderLength, helpFileName, sizeof helpFileName);
}

void makeHelpPath()
{
    char exePath[sizeof state.helpFile];
    const DWORD length = GetModuleFileNameA(nullptr, exePath, sizeof exePath);
    if (length >= sizeof exePath) {
        state.helpFile[0] = '\0';
        return;
    }
    exePath[length] = '\0';
    helpPathBeside(exePath, state.helpFile, sizeof state.helpFile);
}

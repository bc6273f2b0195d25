// The command line's data file. Quotes get no special treatment: the word ends at the first blank
// or tab, and the field receives the word as written, so a relative path stays relative.
#include "command_line_file.h"

#include <windows.h>

#include <cstring>

#include "dialog_controls.h"
#include "file_search.h"
#include "resource_ids.h"

namespace {

constexpr std::size_t wordCapacity = 260;

}

void takeCommandLineFile(const char* tail)
{
    const std::size_t length = std::strcspn(tail, " \t");
    if (length >= wordCapacity) {
        return;
    }
    char word[wordCapacity];
    std::memcpy(word, tail, length);
    word[length] = '\0';
    if (namesExistingFile(word)) {
        SetWindowTextA(dialogControl(IDC_DATA_FILE), word);
    }
}

// The existence tests of data-file paths. Nothing here opens a path: opening a device to find out
// what it is already acts on it (a pipe's server sees a client connect, a serial port is taken).
// Paths are judged in the UTF-16 form that the system's ANSI functions turn them into.
#include "file_search.h"

#include <windows.h>

#include <initializer_list>

namespace {

// Room for a field's 511 characters completed by a long current folder.
constexpr DWORD widePathCapacity = 2048;

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool isAsciiLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

wchar_t asciiUpper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// True when [begin, end) is `name` (upper case ASCII), letters compared without case.
bool isName(const wchar_t* begin, const wchar_t* end, const wchar_t* name)
{
    for (; begin != end; ++begin, ++name) {
        if (*name == L'\0' || asciiUpper(*begin) != *name) {
            return false;
        }
    }
    return *name == L'\0';
}

// True when `text` starts with `name` (upper case ASCII), letters compared without case.
bool startsWithName(const wchar_t* text, const wchar_t* name)
{
    for (; *name != L'\0'; ++text, ++name) {
        if (asciiUpper(*text) != *name) {
            return false;
        }
    }
    return true;
}

const wchar_t* componentEnd(const wchar_t* component)
{
    while (*component != L'\0' && !isSeparator(*component)) {
        ++component;
    }
    return component;
}

// A DOS device name, which names the device in every folder: the name proper ends at the first
// "." or ":", and blanks before that end do not count. COM and LPT take a digit or one of the
// superscripts 1, 2 and 3 that newer systems accept too.
bool isDosDeviceName(const wchar_t* begin, const wchar_t* end)
{
    const wchar_t* stop = begin;
    while (stop != end && *stop != L'.' && *stop != L':') {
        ++stop;
    }
    while (stop != begin && stop[-1] == L' ') {
        --stop;
    }
    for (const wchar_t* name : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (isName(begin, stop, name)) {
            return true;
        }
    }
    if (stop - begin == 4 && (isName(begin, begin + 3, L"COM") || isName(begin, begin + 3, L"LPT"))) {
        const wchar_t digit = begin[3];
        return (digit >= L'0' && digit <= L'9') || digit == L'\x00B9' || digit == L'\x00B2'
               || digit == L'\x00B3';
    }
    return false;
}

// "server\share\...": the shares PIPE, MAILSLOT and IPC$ reach a server's pipes and mailslots.
bool namesServerPipes(const wchar_t* server)
{
    const wchar_t* serverEnd = componentEnd(server);
    if (*serverEnd == L'\0') {
        return false;
    }
    const wchar_t* share = serverEnd + 1;
    const wchar_t* shareEnd = componentEnd(share);
    return isName(share, shareEnd, L"PIPE") || isName(share, shareEnd, L"MAILSLOT")
           || isName(share, shareEnd, L"IPC$");
}

// What follows "\\.\", "\\?\" or "\??\": the long forms of a drive path ("C:\...") and of a UNC
// path ("UNC\server\share\...") name files as usual; everything else (a device, a volume such as
// "C:" itself, a disk, "pipe\...", "GLOBALROOT\...") is the system's.
bool namesDeviceInNamespace(const wchar_t* rest)
{
    if (isAsciiLetter(rest[0]) && rest[1] == L':' && isSeparator(rest[2])) {
        return false;
    }
    if (startsWithName(rest, L"UNC") && isSeparator(rest[3])) {
        return namesServerPipes(rest + 4);
    }
    return true;
}

bool hasDeviceForm(const wchar_t* path)
{
    if (isSeparator(path[0]) && isSeparator(path[1])) {
        if ((path[2] == L'.' || path[2] == L'?') && (path[3] == L'\0' || isSeparator(path[3]))) {
            if (path[3] == L'\0' || namesDeviceInNamespace(path + 4)) {
                return true;
            }
        } else if (namesServerPipes(path + 2)) {
            return true;
        }
    } else if (path[0] == L'\\' && path[1] == L'?' && path[2] == L'?' && path[3] == L'\\') {
        if (namesDeviceInNamespace(path + 4)) {
            return true;
        }
    }

    // The last component, after any drive prefix ("C:NUL" names NUL).
    const wchar_t* last = isAsciiLetter(path[0]) && path[1] == L':' ? path + 2 : path;
    for (const wchar_t* c = last; *c != L'\0'; ++c) {
        if (isSeparator(*c)) {
            last = c + 1;
        }
    }
    const wchar_t* end = last;
    while (*end != L'\0') {
        ++end;
    }
    return isDosDeviceName(last, end);
}

// True when the entry is neither a folder nor a device.
bool plainFileAttributes(DWORD attributes)
{
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

}

bool namesExistingFile(const char* path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool namesDeviceByForm(const char* path)
{
    // A path that cannot be converted or completed cannot be judged, and is taken for a device.
    wchar_t written[widePathCapacity];
    wchar_t completed[widePathCapacity];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, written, static_cast<int>(widePathCapacity)) == 0) {
        return true;
    }
    const DWORD length = GetFullPathNameW(written, widePathCapacity, completed, nullptr);
    if (length == 0 || length >= widePathCapacity) {
        return true;
    }
    return hasDeviceForm(written) || hasDeviceForm(completed);
}

bool namesDiskFile(const char* path)
{
    if (namesDeviceByForm(path)) {
        return false;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    if (!plainFileAttributes(found.dwFileAttributes)) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && plainFileAttributes(attributes);
}

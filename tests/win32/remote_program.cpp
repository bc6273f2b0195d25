// Driving a running varnel.exe from another process.
#include "remote_program.h"

#include "resource_ids.h"
#include "window_driver.h"

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchProgramWindow(HWND window, LPARAM search)
{
    auto* s = reinterpret_cast<WindowSearch*>(search);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[32];
    GetClassNameA(window, className, sizeof className);
    if ((s->processId == 0 || owner == s->processId) && lstrcmpA(className, "Varnel100Class") == 0
        && IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

}

HWND findProgramWindow(DWORD processId, DWORD timeoutMs)
{
    WindowSearch search{processId, nullptr};
    pumpUntil([&] {
        EnumWindows(matchProgramWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, timeoutMs);
    return search.found;
}

HWND programDialog(HWND mainWindow)
{
    return FindWindowExA(mainWindow, nullptr, "#32770", nullptr);
}

bool calculateThroughMenu(HWND mainWindow, const char* initialM, DWORD timeoutMs)
{
    HWND dialog = programDialog(mainWindow);
    SendMessageA(GetDlgItem(dialog, IDC_INITIAL_M), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(initialM));
    PostMessageA(mainWindow, WM_COMMAND, IDM_CALCULATE, 0);
    HWND save = GetDlgItem(dialog, IDC_SAVE);
    return pumpUntil([&] { return IsWindowEnabled(save) != FALSE; }, timeoutMs);
}

std::string programFieldText(HWND mainWindow, int id)
{
    return windowText(GetDlgItem(programDialog(mainWindow), id));
}

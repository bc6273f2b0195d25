// The engine's host on Windows. The engine calls these on the worker thread; each one is a
// synchronous request served by the user-interface thread, which owns the dialog.
#include "host.h"

#include <windows.h>

#include "param_dialog.h"
#include "ui_handles.h"

void hostSetFieldText(int id, const char* text)
{
    SetWindowTextA(GetDlgItem(paramDialog, id), text);
}

// The box belongs to the worker thread, owned by the dialog.
void hostShowError(const char* text, const char* caption)
{
    MessageBoxA(paramDialog, text, caption, MB_OK | MB_ICONERROR);
}

void hostRunEnded()
{
    SendMessageA(paramDialog, WM_CALC_DONE, 0, 0);
}

std::uint32_t hostTickCount()
{
    return GetTickCount();
}

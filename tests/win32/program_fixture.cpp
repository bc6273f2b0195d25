// The in-process fixture of the Windows tests and its small helpers.
#include "program_fixture.h"

#include <shlobj.h>

#include <cstring>

#include "program.h"
#include "window_driver.h"

void ProgramTest::SetUp()
{
    ASSERT_TRUE(startUp(GetModuleHandleA(nullptr), "", SW_SHOW));
    quitCode = -1;
}

void ProgramTest::TearDown()
{
    if (IsWindow(mainWindow)) {
        // A run left going by a failed test is stopped first: Exit is not allowed during a run.
        state.stopRequested = 1;
        pumpDialogUntil(idle);
        dialogCommand(IDC_EXIT);
    }
    pumpUntil([] { return quitCode != -1; }, 5000);
}

HWND field(int id)
{
    return dialogControl(id);
}

std::string fieldText(int id)
{
    char text[512];
    GetWindowTextA(field(id), text, sizeof text);
    return text;
}

void setFieldText(int id, const std::string& text)
{
    SetWindowTextA(field(id), text.c_str());
}

void tick(int id, bool on)
{
    SendMessageA(field(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    if (id == IDC_AUTO_GAMMA) {
        dialogCommand(IDC_AUTO_GAMMA);
    }
}

bool ticked(int id)
{
    return SendMessageA(field(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void dialogCommand(int id)
{
    SendMessageA(paramDialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void menuCommand(int id)
{
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool menuItemGrayed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

bool idle()
{
    return IsWindowEnabled(field(IDC_CALCULATE)) != FALSE;
}

bool pumpDialogUntil(bool (*done)(), DWORD timeoutMs)
{
    return pumpUntil(done, timeoutMs, paramDialog);
}

HWND boxCaptioned(const char* caption)
{
    return FindWindowA("#32770", caption);
}

void fillInputs(const std::string& dataFile, const char* initialM, bool autoGamma)
{
    setFieldText(IDC_DATA_FILE, dataFile);
    setFieldText(IDC_INITIAL_M, initialM);
    tick(IDC_AUTO_GAMMA, autoGamma);
}

bool calculate(const std::string& dataFile, const char* initialM, bool autoGamma)
{
    fillInputs(dataFile, initialM, autoGamma);
    dialogCommand(IDC_CALCULATE);
    return pumpDialogUntil(idle);
}

HDROP makeDrop(const std::vector<std::string>& paths)
{
    std::string list;
    for (const std::string& path : paths) {
        list += path + '\0';
    }
    list += '\0';
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

void dropOntoMainWindow(const std::vector<std::string>& paths)
{
    SendMessageA(mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(paths)), 0);
}

// The in-process fixture of the Windows tests and its small helpers.
#include "program_fixture.h"

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

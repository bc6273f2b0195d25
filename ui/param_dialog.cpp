// The parameter dialog's procedure: initialisation, the seven commands and the end of a run.
// A run's results reach the dialog only through the worker's synchronous field texts and its final
// WM_CALC_DONE, so this thread never waits for the worker.
#include "param_dialog.h"

#include <process.h>

#include "dialog_controls.h"
#include "estimation_run.h"
#include "estimation_state.h"
#include "file_choosers.h"
#include "idle_state.h"
#include "input_validation.h"
#include "numeric_edit.h"
#include "plotting_position.h"
#include "report_file.h"
#include "resource_ids.h"
#include "ui_handles.h"

namespace {

constexpr int pathCapacity = 512;

void focusAndSelect(int id)
{
    HWND field = dialogControl(id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

void initialiseDialog(HWND dialog)
{
    paramDialog = dialog;
    state.stopRequested = 0;
    state.samplesHeld = 0;
    lookUpDialogControls(dialog, mainWindow);
    installNumericFilter();
    SendMessageA(dialogControl(IDC_AUTO_GAMMA), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(dialogControl(IDC_RANK_MEAN), BM_SETCHECK, BST_CHECKED, 0);
    setIdleState(1);
    focusAndSelect(IDC_DATA_FILE);
}

unsigned __stdcall estimationWorker(void*)
{
    runEstimation();
    return 0;
}

// A worker that cannot be created leaves no run to send WM_CALC_DONE, so the dialog goes back to
// idle here. The inputs just validated no longer match the results still held, so the sample is
// released and Save stays off, as after a failed run.
void reportWorkerNotStarted()
{
    releaseSamples();
    MessageBoxA(paramDialog, "The calculation could not be started.", "Calculation error",
                MB_OK | MB_ICONERROR);
    setIdleState(1);
    SetFocus(dialogControl(IDC_CALCULATE));
}

INT_PTR calculate()
{
    if (const int invalid = validateInputs(); invalid != 0) {
        focusAndSelect(invalid);
        return 1;
    }
    state.stopRequested = 0;
    selectRankFunction();
    setIdleState(0);
    const auto worker = _beginthreadex(nullptr, 0, estimationWorker, nullptr, 0, nullptr);
    if (worker == 0) {
        reportWorkerNotStarted();
    } else {
        CloseHandle(reinterpret_cast<HANDLE>(worker));
    }
    return 0;
}

void browse()
{
    char path[pathCapacity];
    if (askOpenPath(paramDialog, "", path, pathCapacity) == 1) {
        SetWindowTextA(dialogControl(IDC_DATA_FILE), path);
    }
}

void save()
{
    if (askSavePath(paramDialog, "", state.reportFile, sizeof state.reportFile) == 1
        && !writeReport()) {
        MessageBoxA(paramDialog, "The report could not be written completely.", "Save error",
                    MB_OK | MB_ICONERROR);
    }
}

void exitProgram()
{
    releaseSamples();
    removeNumericFilter();
    DestroyWindow(mainWindow);
}

// An empty help path means the executable's folder was too long to name the help file beside it.
void showHelpContents()
{
    if (state.helpFile[0] != '\0') {
        WinHelpA(paramDialog, state.helpFile, HELP_FINDER, 0);
    }
}

void followAutoGamma()
{
    const bool ticked =
        SendMessageA(dialogControl(IDC_AUTO_GAMMA), BM_GETCHECK, 0, 0) == BST_CHECKED;
    EnableWindow(dialogControl(IDC_GAMMA), !ticked);
}

// During a run the enabling table puts every command but Stop and Help out of the user's reach,
// yet their WM_COMMAND can still arrive: Wine passes a BM_CLICK on to a disabled button, and any
// program can post a menu command. The worker owns the estimation state and the sample until
// WM_CALC_DONE, so a second Calculate, a Save, an Exit or a change of input is refused until then.
bool actsWhileRunning(int id)
{
    return id == IDC_STOP || id == IDC_HELP_BUTTON;
}

INT_PTR runCommand(int id)
{
    if (runInProgress() && !actsWhileRunning(id)) {
        return 0;
    }
    switch (id) {
    case IDC_BROWSE:
        browse();
        break;
    case IDC_STOP:
        state.stopRequested = 1;
        break;
    case IDC_CALCULATE:
        return calculate();
    case IDC_SAVE:
        save();
        break;
    case IDC_EXIT:
        exitProgram();
        break;
    case IDC_HELP_BUTTON:
        showHelpContents();
        break;
    case IDC_AUTO_GAMMA:
        followAutoGamma();
        break;
    default:
        break;
    }
    return 0;
}

// After a successful run the focus goes to Save. After a failed run Save is disabled and cannot take
// it; Calculate, the likely next step, gets it instead. The failure box that has just closed belonged
// to the worker thread, and the activation it hands back to its owner may go astray across threads,
// so the main window is brought back to the front first: focus only lands in an active window.
void endCalculation()
{
    setIdleState(1);
    if (state.samplesHeld == 1) {
        SetFocus(dialogControl(IDC_SAVE));
    } else {
        SetForegroundWindow(mainWindow);
        SetFocus(dialogControl(IDC_CALCULATE));
    }
}

}

INT_PTR CALLBACK ParamDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        initialiseDialog(dialog);
        return 0;
    case WM_COMMAND:
        return runCommand(LOWORD(wParam));
    case WM_CALC_DONE:
        endCalculation();
        return 0;
    default:
        return 0;
    }
}

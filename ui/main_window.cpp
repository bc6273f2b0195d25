// The main window's procedure: creating the dialog inside it, the menu bar's commands and files
// dropped onto the window. Menu commands that have a dialog button are handed to the dialog, so a
// menu command and the button behave the same.
#include "main_window.h"

#include <shellapi.h>

#include "dialog_controls.h"
#include "file_search.h"
#include "idle_state.h"
#include "param_dialog.h"
#include "report_file.h"
#include "resource_ids.h"
#include "startup_failure.h"
#include "ui_handles.h"

namespace {

constexpr int dropCapacity = 512;

// The dialog's outer rectangle is the client area wanted; the frame is sized around it once,
// with a menu bar, without moving or redrawing it.
void fitFrameToDialog(HWND frame, HWND dialog)
{
    RECT rect;
    GetWindowRect(dialog, &rect);
    AdjustWindowRect(&rect, mainWindowStyle, TRUE);
    SetWindowPos(frame, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
}

void createParamDialog(HWND frame)
{
    mainWindow = frame;
    paramDialog = CreateDialogParamA(appInstance, "VarnelDlg", frame, ParamDlgProc, 0);
    if (paramDialog == nullptr) {
        showStartupFailure(frame, dialogFailedText);
        DestroyWindow(frame);
        return;
    }
    fitFrameToDialog(frame, paramDialog);
    ShowWindow(paramDialog, SW_SHOW);
}

void forwardToDialog(int id)
{
    SendMessageA(paramDialog, WM_COMMAND, id, 0);
}

void runMenuCommand(int id)
{
    switch (id) {
    case IDM_CALCULATE:
        forwardToDialog(IDC_CALCULATE);
        break;
    case IDM_SAVE:
        forwardToDialog(IDC_SAVE);
        break;
    case IDM_STOP:
        forwardToDialog(IDC_STOP);
        break;
    case IDM_EXIT:
        forwardToDialog(IDC_EXIT);
        break;
    case IDM_CONTENTS:
        forwardToDialog(IDC_HELP_BUTTON);
        break;
    case IDM_HELP_ON_HELP:
        WinHelpA(paramDialog, "", HELP_HELPONHELP, 0);
        break;
    case IDM_ABOUT:
        ShellAboutA(paramDialog, "Varnel #Varnel  Version 1.00 ", programNotice, appIcon);
        break;
    default:
        break;
    }
}

// Only the first dropped item counts; the others are ignored. A path that the drop does not hold,
// or that does not fit the buffer whole, is not taken.
void takeDroppedFile(HDROP drop)
{
    // Drops are refused during a run (setIdleState turns acceptance off), so a WM_DROPFILES that
    // arrives then was posted by some program, not by the shell: its handle is not one of this
    // process's drops, and it is neither read nor released.
    if (runInProgress()) {
        return;
    }
    char path[dropCapacity] = "";
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    const bool taken = length > 0 && length < dropCapacity
                       && DragQueryFileA(drop, 0, path, dropCapacity) == length;
    DragFinish(drop);
    if (taken && namesExistingFile(path)) {
        SetWindowTextA(dialogControl(IDC_DATA_FILE), path);
    }
}

}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        createParamDialog(window);
        return 0;
    case WM_CLOSE:
        // Close is greyed during a run, but Wine still turns Alt+F4 or a posted SC_CLOSE into
        // WM_CLOSE. A program that ends under a running worker aborts at exit with the worker's
        // threads still going, so the window stays until the run has ended.
        if (runInProgress()) {
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        runMenuCommand(LOWORD(wParam));
        return 0;
    case WM_DROPFILES:
        takeDroppedFile(reinterpret_cast<HDROP>(wParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

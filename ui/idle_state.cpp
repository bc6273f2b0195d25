// The enabling of controls, menu items, Close and drops for the idle and running states. Everything
// that could change an input, start a second run, save or end the program is out of reach while the
// worker runs: the worker owns the estimation state until it sends WM_CALC_DONE.
#include "idle_state.h"

#include <windows.h>
#include <shellapi.h>

#include "dialog_controls.h"
#include "estimation_state.h"
#include "resource_ids.h"
#include "ui_handles.h"

namespace {

void enableMenuItem(HMENU menu, UINT id, bool enabled)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void enableControl(int id, bool enabled)
{
    EnableWindow(dialogControl(id), enabled);
}

void enableControls(int first, int last, bool enabled)
{
    for (int id = first; id <= last; ++id) {
        enableControl(id, enabled);
    }
}

bool autoGammaTicked()
{
    return SendMessageA(dialogControl(IDC_AUTO_GAMMA), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}

void setIdleState(int idle)
{
    const bool idleNow = idle == 1;
    const bool running = !idleNow;

    DragAcceptFiles(mainWindow, idleNow);
    enableMenuItem(menuBar, IDM_CALCULATE, idleNow);
    enableMenuItem(menuBar, IDM_STOP, running);
    enableMenuItem(menuBar, IDM_EXIT, idleNow);
    enableMenuItem(systemMenu, SC_CLOSE, idleNow);
    DrawMenuBar(mainWindow);

    enableControl(IDC_BROWSE, idleNow);
    enableControl(IDC_CALCULATE, idleNow);
    enableControl(IDC_EXIT, idleNow);
    enableControl(IDC_STOP, running);
    enableControl(IDC_AUTO_GAMMA, idleNow);
    enableControl(IDC_DATA_FILE, idleNow);
    enableControl(IDC_INITIAL_M, idleNow);
    enableControls(IDC_MONITOR_M, IDC_MONITOR_G, running);
    enableControls(IDC_RESULT_M, IDC_RESULT_SIGMA2, idleNow);
    enableControls(IDC_RANK_MEAN, IDC_RANK_MID_POINT, idleNow);

    const bool saveAvailable = idleNow && state.samplesHeld == 1;
    enableMenuItem(menuBar, IDM_SAVE, saveAvailable);
    enableControl(IDC_SAVE, saveAvailable);
    enableControl(IDC_GAMMA, idleNow && !autoGammaTicked());
}

bool runInProgress()
{
    return IsWindowEnabled(dialogControl(IDC_STOP)) != FALSE;
}

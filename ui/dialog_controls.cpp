// The control and menu handles of the parameter dialog.
#include "dialog_controls.h"

#include "resource_ids.h"

HMENU menuBar;
HMENU systemMenu;

namespace {

constexpr int firstControl = IDC_BROWSE;
constexpr int lastControl = IDC_RANK_MID_POINT;
HWND controlHandles[lastControl - firstControl + 1];

}

void lookUpDialogControls(HWND dialog, HWND frame)
{
    menuBar = GetMenu(frame);
    systemMenu = GetSystemMenu(frame, FALSE);
    for (int id = firstControl; id <= lastControl; ++id) {
        controlHandles[id - firstControl] = GetDlgItem(dialog, id);
    }
}

HWND dialogControl(int id)
{
    return controlHandles[id - firstControl];
}

// The handles the parameter dialog works with: its 23 addressed controls (ids 1000 to 1022) and the
// main window's menu bar and system menu, looked up once when the dialog initialises.
#pragma once

#include <windows.h>

extern HMENU menuBar;
extern HMENU systemMenu;

// Fills the handles above for `dialog`, whose parent is the main window `frame`.
void lookUpDialogControls(HWND dialog, HWND frame);

// The handle of control `id` (1000 to 1022) as looked up.
HWND dialogControl(int id);

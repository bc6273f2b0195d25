// The parameter dialog: the modeless child of the main window that carries every control.
#pragma once

#include <windows.h>

// Sent (never posted) by the worker to the dialog when a run has ended, successfully or not.
constexpr UINT WM_CALC_DONE = WM_APP + 1;

// Handles WM_INITDIALOG, WM_COMMAND with ids 1000 to 1006 (button or forwarded menu command alike)
// and WM_CALC_DONE. Yields 1 when a failed validation has moved the focus, else 0.
INT_PTR CALLBACK ParamDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

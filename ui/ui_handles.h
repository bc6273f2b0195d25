// Handles shared by the main window and the parameter dialog, one of each for the life of the process.
#pragma once

#include <windows.h>

extern HINSTANCE appInstance;
extern HICON appIcon;

// Recorded by MainWndProc as the first step of WM_CREATE, before the dialog exists, because the
// dialog's initialisation already works on the main window's menus.
extern HWND mainWindow;

// Set from CreateDialogParamA's result and again by the dialog's own initialisation.
extern HWND paramDialog;

// The main window: a fixed-size frame with the menu bar whose client area is the parameter dialog.
#pragma once

#include <windows.h>

constexpr char mainWindowClass[] = "Varnel100Class";
constexpr DWORD mainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// Handles WM_CREATE (creates the dialog), WM_DESTROY (ends the message loop), WM_COMMAND (menu
// commands) and WM_DROPFILES; everything else goes to DefWindowProcA.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

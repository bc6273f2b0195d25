// Driving a running varnel.exe from another process, through its window handles only: the
// end-to-end test and the screenshot script use it. (Menu handles cannot be read across processes
// under Wine, so menu states are left to the in-process tests.)
#pragma once

#include <windows.h>

#include <string>

// The visible main window of varnel.exe in process `processId` (any process when 0), waiting up to
// `timeoutMs`; null when none appeared.
HWND findProgramWindow(DWORD processId, DWORD timeoutMs);

// The parameter dialog inside that main window.
HWND programDialog(HWND mainWindow);

// Types `initialM` into the initial-m field, chooses Calculate from the menu and waits up to
// `timeoutMs` for the run to end with Save enabled; false when it did not.
bool calculateThroughMenu(HWND mainWindow, const char* initialM, DWORD timeoutMs);

// The text of dialog field `id`.
std::string programFieldText(HWND mainWindow, int id);

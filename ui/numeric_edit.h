// The character filter of the two numeric input fields (gamma and initial m).
#pragma once

#include <windows.h>

// Window procedure put in front of the edit control's own: drops typed characters that cannot
// belong to an unsigned decimal number, passes everything else on.
LRESULT CALLBACK numericEditProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);

// Puts numericEditProc in front of the gamma and initial-m fields, and takes it away again.
void installNumericFilter();
void removeNumericFilter();

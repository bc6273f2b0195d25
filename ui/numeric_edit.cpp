// The character filter of the gamma and initial-m fields. It looks only at typed characters: digits
// always pass, a full stop or an exponent letter only once (the first character is not counted), and
// signs, blanks and other letters never. Pasted text is not filtered.
#include "numeric_edit.h"

#include "dialog_controls.h"
#include "resource_ids.h"

namespace {

// The edit control's own procedure, taken from the gamma field; both fields are plain edit controls.
WNDPROC editProc;

// True when the field has text and none of its characters after the first is `upper` or `lower`.
bool firstOccurrenceBeyondStart(HWND field, char upper, char lower)
{
    char text[256];
    const int length = GetWindowTextA(field, text, sizeof text);
    if (length == 0) {
        return false;
    }
    for (int i = 1; i < length; ++i) {
        if (text[i] == upper || text[i] == lower) {
            return false;
        }
    }
    return true;
}

bool characterPasses(HWND field, WPARAM c)
{
    if (c <= 31 || c == 127 || (c >= '0' && c <= '9')) {
        return true;
    }
    if (c == '.') {
        return firstOccurrenceBeyondStart(field, '.', '.');
    }
    if (c == 'E' || c == 'e') {
        return firstOccurrenceBeyondStart(field, 'E', 'e');
    }
    return false;
}

void setProcedure(int id, WNDPROC procedure)
{
    SetWindowLongPtrA(dialogControl(id), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

}

LRESULT CALLBACK numericEditProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR && !characterPasses(field, wParam)) {
        return 0;
    }
    return CallWindowProcA(editProc, field, message, wParam, lParam);
}

void installNumericFilter()
{
    editProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(dialogControl(IDC_GAMMA), GWLP_WNDPROC));
    setProcedure(IDC_GAMMA, numericEditProc);
    setProcedure(IDC_INITIAL_M, numericEditProc);
}

void removeNumericFilter()
{
    setProcedure(IDC_GAMMA, editProc);
    setProcedure(IDC_INITIAL_M, editProc);
}

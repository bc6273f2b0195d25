// Helper of scripts/screenshot: finds the running varnel.exe, calculates with initial m 1 through
// the menu, and prints the main window's rectangle on the screen as WIDTHxHEIGHT+X+Y for cropping.
#include <windows.h>

#include <cstdio>

#include "remote_program.h"

int main()
{
    HWND mainWindow = findProgramWindow(0, 30000);
    if (mainWindow == nullptr) {
        std::fputs("varnel.exe did not show its window\n", stderr);
        return 1;
    }
    if (!calculateThroughMenu(mainWindow, "1", 60000)) {
        std::fputs("the calculation did not end\n", stderr);
        return 1;
    }
    RECT rect;
    GetWindowRect(mainWindow, &rect);
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
    return 0;
}

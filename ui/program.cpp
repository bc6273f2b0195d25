// Start-up of the Windows program and its message loop. The dialog is offered every message first,
// which gives it Tab and arrow-key navigation and Enter for Calculate.
#include "program.h"

#include "command_line_file.h"
#include "help_path.h"
#include "main_window.h"
#include "resource_ids.h"
#include "startup_failure.h"
#include "ui_handles.h"

namespace {

void registerMainWindowClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = appInstance;
    windowClass.hIcon = appIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = "VarnelMenu";
    windowClass.lpszClassName = mainWindowClass;
    // A failure shows as a main window that cannot be created.
    RegisterClassExA(&windowClass);
}

}

bool startUp(HINSTANCE instance, const char* commandTail, int showCommand)
{
    appInstance = instance;
    appIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VARNEL));
    registerMainWindowClass();

    mainWindow = nullptr;
    CreateWindowExA(0, mainWindowClass, "Varnel", mainWindowStyle, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                    nullptr, nullptr, instance, nullptr);
    if (mainWindow == nullptr) {
        showStartupFailure(nullptr, mainWindowFailedText);
        return false;
    }
    makeHelpPath();
    takeCommandLineFile(commandTail);
    ShowWindow(mainWindow, showCommand);
    return true;
}

int runMessageLoop()
{
    MSG message;
    BOOL received;
    while ((received = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (received == -1) {
            return 0;
        }
        if (!IsDialogMessageA(paramDialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

int runProgram(HINSTANCE instance, const char* commandTail, int showCommand)
{
    if (!startUp(instance, commandTail, showCommand)) {
        return 0;
    }
    return runMessageLoop();
}

// varnel.exe as the user starts it: its own process with a data file on the command line, driven
// from outside through its window handles (menu handles cannot be read across processes under
// Wine, so menu states are checked by the in-process tests).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "test_files.h"
#include "window_driver.h"

namespace {

constexpr int dataFileField = 1007;
constexpr int initialMField = 1008;
constexpr int saveButton = 1003;
constexpr int firstResult = 1012;
constexpr int calculateMenu = 40001;
constexpr int exitMenu = 40004;

// Ends the program if a test leaves it running.
struct StartedProgram {
    PROCESS_INFORMATION process = {};
    ~StartedProgram()
    {
        if (process.hProcess != nullptr) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.hProcess, 1);
            }
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
};

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findProgramWindow(HWND window, LPARAM search)
{
    auto* s = reinterpret_cast<WindowSearch*>(search);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[32];
    GetClassNameA(window, className, sizeof className);
    if (owner == s->processId && lstrcmpA(className, "Varnel100Class") == 0 && IsWindowVisible(window)) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

}

TEST(EndToEnd, ProgramTakesItsCommandLineFileAndCalculatesThroughTheMenu)
{
    writeFile("end-to-end.dat", "12.5\n7.25\n30\n18\n22.75\n9.5\n");
    StartedProgram program;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    char commandLine[] = "varnel.exe end-to-end.dat";
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &program.process));

    WindowSearch search{program.process.dwProcessId, nullptr};
    ASSERT_TRUE(pumpUntil([&] {
        EnumWindows(findProgramWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    })) << "no main window";
    HWND mainWindow = search.found;
    EXPECT_EQ(windowText(mainWindow), "Varnel");
    HWND dialog = FindWindowExA(mainWindow, nullptr, "#32770", nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windowText(GetDlgItem(dialog, dataFileField)), "end-to-end.dat");

    SendMessageA(GetDlgItem(dialog, initialMField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1"));
    PostMessageA(mainWindow, WM_COMMAND, calculateMenu, 0);
    HWND save = GetDlgItem(dialog, saveButton);
    ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(save) != FALSE; })) << "the run did not end";

    const char* expected[] = {" 1.5099e+000", " 4.8684e+001", " 4.8656e+000", " 1.6690e+001",
                              " 1.5149e+001", " 1.1253e+001", " 6.3681e+001"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(windowText(GetDlgItem(dialog, firstResult + i)), expected[i]) << firstResult + i;
    }

    PostMessageA(mainWindow, WM_COMMAND, exitMenu, 0);
    ASSERT_EQ(WaitForSingleObject(program.process.hProcess, 10000), WAIT_OBJECT_0);
    DWORD status = 1;
    GetExitCodeProcess(program.process.hProcess, &status);
    EXPECT_EQ(status, 0u);
}

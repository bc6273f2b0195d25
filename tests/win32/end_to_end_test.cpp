// varnel.exe as the user starts it: its own process with a data file on the command line, found
// and driven from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include "remote_program.h"
#include "resource_ids.h"
#include "test_files.h"
#include "window_driver.h"

namespace {

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

    HWND mainWindow = findProgramWindow(program.process.dwProcessId, 20000);
    ASSERT_NE(mainWindow, nullptr) << "no main window";
    EXPECT_EQ(windowText(mainWindow), "Varnel");
    EXPECT_EQ(programFieldText(mainWindow, IDC_DATA_FILE), "end-to-end.dat");

    ASSERT_TRUE(calculateThroughMenu(mainWindow, "1", 20000)) << "the run did not end";
    const char* expected[] = {" 1.5099e+000", " 4.8684e+001", " 4.8656e+000", " 1.6690e+001",
                              " 1.5149e+001", " 1.1253e+001", " 6.3681e+001"};
    for (int id = IDC_RESULT_M; id <= IDC_RESULT_SIGMA2; ++id) {
        EXPECT_EQ(programFieldText(mainWindow, id), expected[id - IDC_RESULT_M]) << id;
    }

    PostMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_EQ(WaitForSingleObject(program.process.hProcess, 10000), WAIT_OBJECT_0);
    DWORD status = 1;
    GetExitCodeProcess(program.process.hProcess, &status);
    EXPECT_EQ(status, 0u);
}

// The main window and start-up: the frame around the dialog, the resources, the command line, drops,
// the help path, menu commands, the About box, the start-up failure texts and the end of the program.
#include <cstring>
#include <string>
#include <vector>

#include "command_line_file.h"
#include "help_path.h"
#include "import_hook.h"
#include "main_window.h"
#include "program.h"
#include "program_fixture.h"
#include "report_file.h"
#include "startup_failure.h"
#include "test_files.h"
#include "window_driver.h"

namespace {

// The file-system searches made by the program's code while FindFirstFileA is watched.
int searches;
decltype(&FindFirstFileA) realFindFirstFileA;

HANDLE WINAPI countingFindFirstFileA(LPCSTR path, LPWIN32_FIND_DATAA found)
{
    ++searches;
    return realFindFirstFileA(path, found);
}

// MultiByteToWideChar as on a system without code page 932.
decltype(&MultiByteToWideChar) realMultiByteToWideChar;

int WINAPI multiByteToWideCharWithout932(UINT codePage, DWORD flags, LPCCH text, int length,
                                        LPWSTR wide, int capacity)
{
    if (codePage == 932) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return realMultiByteToWideChar(codePage, flags, text, length, wide, capacity);
}

// `bytes` as the ANSI functions show them: in the system's code page.
std::wstring inAnsiCodePage(const char* bytes)
{
    wchar_t wide[256] = L"";
    realMultiByteToWideChar(CP_ACP, 0, bytes, -1, wide, 256);
    return wide;
}

// Runs the program's message loop; a watchdog ends it with code 99 should the window fail to go.
int runLoopWithWatchdog()
{
    const DWORD loopThread = GetCurrentThreadId();
    HANDLE loopEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread watchdog([&] {
        if (WaitForSingleObject(loopEnded, 10000) == WAIT_TIMEOUT) {
            PostThreadMessageA(loopThread, WM_QUIT, 99, 0);
        }
    });
    const int status = runMessageLoop();
    quitCode = status;  // the loop has taken the quit request that the fixture waits for
    SetEvent(loopEnded);
    watchdog.join();
    CloseHandle(loopEnded);
    return status;
}

}

TEST_F(ProgramTest, MainWindowIsAFixedFrameFittedAroundTheDialog)
{
    char className[32];
    GetClassNameA(mainWindow, className, sizeof className);
    EXPECT_STREQ(className, "Varnel100Class");
    EXPECT_EQ(windowText(mainWindow), "Varnel");
    const LONG style = GetWindowLongA(mainWindow, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_TRUE(IsWindowVisible(mainWindow));
    EXPECT_NE(GetMenu(mainWindow), nullptr);
    EXPECT_NE(reinterpret_cast<HICON>(GetClassLongPtrA(mainWindow, GCLP_HICON)), nullptr);

    RECT client;
    GetClientRect(mainWindow, &client);
    RECT dialog;
    GetWindowRect(paramDialog, &dialog);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT*>(&dialog), 2);
    RECT units = {0, 0, 222, 236};
    MapDialogRect(paramDialog, &units);
    EXPECT_EQ(dialog.left, 0);
    EXPECT_EQ(dialog.top, 0);
    EXPECT_EQ(dialog.right, units.right);
    EXPECT_EQ(dialog.bottom, units.bottom);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
}

TEST(Resources, DialogTemplateHasFortyFourItemsInTheJapaneseFont)
{
    HRSRC found = FindResourceA(nullptr, "VarnelDlg", MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(nullptr, found)));
    const auto* header = reinterpret_cast<const DLGTEMPLATE*>(words);
    EXPECT_EQ(header->style, static_cast<DWORD>(WS_CHILD | DS_SETFONT));
    EXPECT_EQ(header->dwExtendedStyle, 0u);
    EXPECT_EQ(header->cdit, 44);
    EXPECT_EQ(header->cx, 222);
    EXPECT_EQ(header->cy, 236);
    // Menu, class and title are each a single empty entry; then come the point size and face name.
    const WORD* after = words + sizeof(DLGTEMPLATE) / sizeof(WORD);
    EXPECT_EQ(after[0], 0);
    EXPECT_EQ(after[1], 0);
    EXPECT_EQ(after[2], 0);
    EXPECT_EQ(after[3], 9);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(after + 4)),
              L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");

    HRSRC icon = FindResourceA(nullptr, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(14));
    ASSERT_NE(icon, nullptr);
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, icon)));
    EXPECT_EQ(group[4], 1) << "one image";
    EXPECT_EQ(group[6], 32);
    EXPECT_EQ(group[7], 32);
    EXPECT_EQ(group[8], 16) << "colours";
}

TEST_F(ProgramTest, CommandLineWordReachesTheDataFileFieldOnlyWhenItNamesAFile)
{
    writeFile(scratchPath("cmd.dat"), "1\n2\n3\n");
    CreateDirectoryA(scratchPath("folder.dat").c_str(), nullptr);
    const std::string relative = "win32-test-files\\cmd.dat";
    const std::string padded = relative + std::string(259 - relative.size(), '*');
    struct Case {
        std::string tail;
        std::string expected;
    };
    const Case cases[] = {
        {"", ""},
        {relative, relative},
        {relative + " more words", relative},
        {relative + "\tmore", relative},
        {"win32-test-files\\cm?.dat", "win32-test-files\\cm?.dat"},
        {"win32-test-files\\folder.dat", ""},
        {"win32-test-files\\none.dat", ""},
        {"\"" + relative + "\"", ""},
        {"\"win32-test-files\\a b.dat\"", ""},
        {padded, padded},
        {padded + "*", ""},
    };
    for (const Case& c : cases) {
        setFieldText(IDC_DATA_FILE, "");
        takeCommandLineFile(c.tail.c_str());
        EXPECT_EQ(fieldText(IDC_DATA_FILE), c.expected) << c.tail;
    }
}

TEST_F(ProgramTest, DroppedFileReachesTheDataFileFieldOnlyWhenItNamesAFile)
{
    const std::string first = writeFile(scratchPath("first.dat"), "1\n2\n3\n");
    const std::string second = writeFile(scratchPath("second.dat"), "1\n2\n3\n");
    const std::string folder = scratchPath("folder.dat");
    CreateDirectoryA(folder.c_str(), nullptr);

    dropOntoMainWindow({first, second});
    EXPECT_EQ(fieldText(IDC_DATA_FILE), first);
    dropOntoMainWindow({folder, second});
    EXPECT_EQ(fieldText(IDC_DATA_FILE), first);
    dropOntoMainWindow({scratchPath("none.dat")});
    EXPECT_EQ(fieldText(IDC_DATA_FILE), first);
}

TEST_F(ProgramTest, DropWithoutAWholeFirstPathIsIgnoredWithoutASearch)
{
    const std::string kept = writeFile(scratchPath("kept.dat"), "1\n2\n3\n");
    setFieldText(IDC_DATA_FILE, kept);
    ImportHook hook("kernel32.dll", "FindFirstFileA", reinterpret_cast<void*>(countingFindFirstFileA));
    ASSERT_GT(hook.slotsReplaced(), 0);
    realFindFirstFileA = hook.original<decltype(&FindFirstFileA)>();

    // Any program can post WM_DROPFILES: a handle that is no drop, where DragQueryFileA fails and
    // fills no buffer; a drop without paths; a first path longer than the 512-character buffer,
    // which would be cut.
    searches = 0;
    SendMessageA(mainWindow, WM_DROPFILES, 0, 0);
    dropOntoMainWindow({});
    dropOntoMainWindow({scratchPath("") + std::string(600, 'a') + ".dat", kept});
    EXPECT_EQ(searches, 0) << "a path that the drop did not deliver was searched for";
    EXPECT_EQ(fieldText(IDC_DATA_FILE), kept);

    const std::string taken = writeFile(scratchPath("taken.dat"), "1\n2\n3\n");
    dropOntoMainWindow({taken});
    EXPECT_EQ(searches, 1);
    EXPECT_EQ(fieldText(IDC_DATA_FILE), taken);
}

TEST(HelpPath, NamesTheHelpFileBesideTheExecutable)
{
    char path[260];
    helpPathBeside("D:\\Tools\\est.exe", path, sizeof path);
    EXPECT_STREQ(path, "D:\\Tools\\Varnel.hlp");
    helpPathBeside("est.exe", path, sizeof path);
    EXPECT_STREQ(path, "Varnel.hlp");
    helpPathBeside("", path, sizeof path);
    EXPECT_STREQ(path, "Varnel.hlp");

    const std::string tooLong = "C:\\" + std::string(246, 'f') + "\\";
    helpPathBeside((tooLong + "v.exe").c_str(), path, sizeof path);
    EXPECT_STREQ(path, "") << "a path that would not fit is left empty, not cut";
    const std::string longest = "C:\\" + std::string(245, 'f') + "\\";
    helpPathBeside((longest + "v.exe").c_str(), path, sizeof path);
    EXPECT_EQ(path, longest + "Varnel.hlp");

    makeHelpPath();
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::strcpy(std::strrchr(exe, '\\') + 1, "Varnel.hlp");
    EXPECT_STREQ(state.helpFile, exe);
}

TEST_F(ProgramTest, MenuCommandsReachTheDialog)
{
    for (int id = IDC_MONITOR_M; id <= IDC_RESULT_SIGMA2; ++id) {
        setFieldText(id, "x");
    }
    SetFocus(field(IDC_EXIT));
    menuCommand(IDM_CALCULATE);
    EXPECT_EQ(GetFocus(), field(IDC_DATA_FILE));
    EXPECT_EQ(fieldText(IDC_RESULT_M), "");

    menuCommand(IDM_STOP);
    EXPECT_EQ(state.stopRequested, 1);
    state.stopRequested = 0;

    std::strcpy(state.reportFile, "unchanged");
    ModalHelper cancelSave({[](HWND box) { pressButton(box, IDCANCEL); }});
    menuCommand(IDM_SAVE);
    EXPECT_TRUE(cancelSave.finish());
    EXPECT_STREQ(state.reportFile, "unchanged");

    std::wstring aboutTexts;
    ModalHelper about({[&](HWND box) {
        aboutTexts = staticTexts(box);
        pressButton(box, IDOK);
    }});
    menuCommand(IDM_ABOUT);
    ASSERT_TRUE(about.finish());
    const std::wstring notice(programNotice, programNotice + std::strlen(programNotice));
    EXPECT_NE(aboutTexts.find(notice), std::wstring::npos);
    EXPECT_NE(aboutTexts.find(L"Varnel  Version 1.00"), std::wstring::npos);

    menuCommand(40008);
    EXPECT_TRUE(IsWindow(mainWindow));

    menuCommand(IDM_EXIT);
    EXPECT_FALSE(IsWindow(mainWindow));
}

TEST_F(ProgramTest, ExitReleasesTheSampleAndEndsTheMessageLoopWithStatusZero)
{
    ASSERT_TRUE(calculate(writeFile(scratchPath("exit.dat"), "1\n2\n3\n"), "1", true));
    ASSERT_EQ(state.samplesHeld, 1);
    PostMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(runLoopWithWatchdog(), 0);
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_EQ(state.samplesHeld, 0);
}

TEST_F(ProgramTest, CloseEndsTheMessageLoopWithStatusZero)
{
    PostMessageA(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(runLoopWithWatchdog(), 0);
    EXPECT_FALSE(IsWindow(mainWindow));
}

TEST(StartupFailure, MessagesShowTheJapaneseTextsOnAnySystem)
{
    const std::wstring caption = L"\xFF8C\xFF9F\xFF9B\xFF78\xFF9E\xFF97\xFF91\x8D77\x52D5\x5931\x6557";
    const std::wstring tail = L"\xFF73\xFF68\xFF9D\xFF84\xFF9E\xFF73\x306E\x4F5C\x6210\x306B\x5931\x6557\x3057\x307E\x3057\x305F";
    const struct {
        const char* text;
        std::wstring expected;
    } messages[] = {{mainWindowFailedText, L"\x89AA" + tail}, {dialogFailedText, L"\x5B50" + tail}};
    for (const auto& message : messages) {
        std::wstring shownCaption;
        std::wstring shownText;
        ModalHelper reader({[&](HWND box) {
            shownCaption = wideWindowText(box);
            shownText = staticTexts(box);
            pressButton(box, IDOK);
        }});
        showStartupFailure(nullptr, message.text);
        ASSERT_TRUE(reader.finish());
        EXPECT_EQ(shownCaption, caption);
        EXPECT_EQ(shownText, message.expected + L"\n");
    }
}

TEST(StartupFailure, WithoutCodePage932TheMessagesShowTheirBytesInTheSystemCodePage)
{
    ImportHook hook("kernel32.dll", "MultiByteToWideChar",
                    reinterpret_cast<void*>(multiByteToWideCharWithout932));
    ASSERT_GT(hook.slotsReplaced(), 0);
    realMultiByteToWideChar = hook.original<decltype(&MultiByteToWideChar)>();
    for (const char* text : {mainWindowFailedText, dialogFailedText}) {
        std::wstring shownCaption;
        std::wstring shownText;
        ModalHelper reader({[&](HWND box) {
            shownCaption = wideWindowText(box);
            shownText = staticTexts(box);
            pressButton(box, IDOK);
        }});
        showStartupFailure(nullptr, text);
        ASSERT_TRUE(reader.finish());
        EXPECT_EQ(shownCaption, inAnsiCodePage(startupFailureCaption));
        EXPECT_EQ(shownText, inAnsiCodePage(text) + L"\n");
    }
}

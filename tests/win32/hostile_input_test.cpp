// Hostile input to the dialog: text that reaches the numeric fields past the character filter,
// data-file texts that are too long or name something other than a file on a disk, commands and
// drops that arrive while a run is going, Stop pressed twice, and Exit at the very moment a run has
// ended.
#include <cstring>
#include <string>
#include <vector>

#include "file_search.h"
#include "import_hook.h"
#include "input_validation.h"
#include "number_text.h"
#include "param_dialog.h"
#include "program_fixture.h"
#include "test_files.h"
#include "window_driver.h"

namespace {

const char shortSample[] = "12.5\n7.25\n30\n18\n22.75\n9.5\n";

// The ways text enters an edit control without one WM_CHAR per character.
enum class Entry { pasteMessage, controlV, replaceSelection, setText };
const Entry allEntries[] = {Entry::pasteMessage, Entry::controlV, Entry::replaceSelection, Entry::setText};

bool putOnClipboard(const std::string& text)
{
    if (!OpenClipboard(paramDialog)) {
        return false;
    }
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    return placed;
}

// Replaces the whole text of field `id` by `text` the way `entry` does.
void enter(int id, Entry entry, const std::string& text)
{
    HWND edit = field(id);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    switch (entry) {
    case Entry::pasteMessage:
        ASSERT_TRUE(putOnClipboard(text));
        SendMessageA(edit, WM_PASTE, 0, 0);
        break;
    case Entry::controlV:
        // Ctrl+V arrives as character 22, which the filter passes on like every control code.
        ASSERT_TRUE(putOnClipboard(text));
        SendMessageA(edit, WM_CHAR, 22, 1);
        break;
    case Entry::replaceSelection:
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        break;
    case Entry::setText:
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        break;
    }
}

std::string describe(Entry entry, const std::string& text)
{
    static const char* const names[] = {"WM_PASTE", "Ctrl+V", "EM_REPLACESEL", "WM_SETTEXT"};
    return std::string(names[static_cast<int>(entry)]) + " '" + text.substr(0, 60) + "' ("
           + std::to_string(text.size()) + " characters)";
}

// Presses Calculate and expects it refused: focus and a whole selection on field `id`, the dialog
// idle and none of the inputs stored.
void expectCalculateRefused(int id, const std::string& why)
{
    std::strcpy(state.RFile, "earlier.dat");
    state.gamma = 7.0;
    state.initialM = 3.0;
    dialogCommand(IDC_CALCULATE);
    EXPECT_EQ(GetFocus(), field(id)) << why;
    DWORD start = 1;
    DWORD end = 0;
    SendMessageA(field(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u) << why;
    EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthA(field(id)))) << why;
    EXPECT_TRUE(idle()) << why;
    EXPECT_STREQ(state.RFile, "earlier.dat") << why;
    EXPECT_EQ(state.gamma, 7.0) << why;
    EXPECT_EQ(state.initialM, 3.0) << why;
}

// A path of exactly `length` characters to a copy of the short sample: the scratch folder, ".\"
// steps, and a name of 5 or 6 characters that makes up the length.
std::string paddedPath(std::size_t length)
{
    const std::string folder = scratchPath("");
    const std::string name = (length - folder.size()) % 2 == 0 ? "pp.dat" : "p.dat";
    writeFile(folder + name, shortSample);
    std::string path = folder;
    while (path.size() + name.size() < length) {
        path += ".\\";
    }
    return path + name;
}

// 50,000 observations close together far from zero. With gamma 0 and a start at 1 the damped
// Newton steps are tiny and each costs passes over the whole sample, so the iteration goes on for
// minutes unless it is stopped.
void startLongRun()
{
    static const std::string path = [] {
        std::string values;
        for (int i = 0; i < 50000; ++i) {
            values += std::to_string(20.0 + 0.005 * (i % 100)) + "\n";
        }
        return writeFile(scratchPath("long.dat"), values);
    }();
    fillInputs(path, "1", false);
    setFieldText(IDC_GAMMA, "0");
    dialogCommand(IDC_CALCULATE);
}

bool monitorShows()
{
    return !fieldText(IDC_MONITOR_M).empty();
}

void pumpFor(DWORD milliseconds)
{
    pumpDialogUntil([] { return false; }, milliseconds);
}

// The dialog's ends of runs, counted by a procedure put in front of ParamDlgProc; `afterRunEnd`,
// when set, acts the moment the dialog has handled one.
int runEnds;
void (*afterRunEnd)();

INT_PTR CALLBACK countingDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    const INT_PTR result = ParamDlgProc(dialog, message, wParam, lParam);
    if (message == WM_CALC_DONE) {
        ++runEnds;
        if (afterRunEnd != nullptr) {
            afterRunEnd();
        }
    }
    return result;
}

void countRunEnds()
{
    runEnds = 0;
    afterRunEnd = nullptr;
    SetWindowLongPtrA(paramDialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(countingDlgProc));
}

// A stopped run shows the results of the m it reached, and Save is offered.
void expectResultsOfAStoppedRun()
{
    EXPECT_GT(state.m, 1.0);
    EXPECT_LT(state.m, 150.0) << "left alone the iteration would climb far higher";
    EXPECT_EQ(fieldText(IDC_RESULT_M), formatScientific(state.m, 6, 4));
    EXPECT_EQ(fieldText(IDC_RESULT_T0), formatScientific(state.t0, 6, 4));
    EXPECT_EQ(fieldText(IDC_RESULT_GAMMA), formatScientific(0.0, 6, 4));
    EXPECT_EQ(fieldText(IDC_RESULT_SIGMA2), formatScientific(state.sigma2, 6, 4));
    EXPECT_EQ(state.samplesHeld, 1);
    EXPECT_TRUE(IsWindowEnabled(field(IDC_SAVE)));
    EXPECT_FALSE(menuItemGrayed(menuBar, IDM_SAVE));
    EXPECT_EQ(GetFocus(), field(IDC_SAVE));
}

// The paths that the program's code opens while CreateFileA is watched.
std::vector<std::string> openedPaths;
decltype(&CreateFileA) realCreateFileA;

HANDLE WINAPI recordingCreateFileA(LPCSTR path, DWORD access, DWORD sharing, LPSECURITY_ATTRIBUTES security,
                                   DWORD disposition, DWORD flags, HANDLE pattern)
{
    openedPaths.emplace_back(path);
    return realCreateFileA(path, access, sharing, security, disposition, flags, pattern);
}

std::string joined(const std::vector<std::string>& texts)
{
    std::string all;
    for (const std::string& text : texts) {
        all += text + "\n";
    }
    return all;
}

}

TEST_F(ProgramTest, TextPastedIntoTheNumericFieldsGetsInAndIsStillValidated)
{
    setFieldText(IDC_DATA_FILE, writeFile(scratchPath("hostile.dat"), shortSample));
    for (Entry entry : allEntries) {
        // Signs, blanks and letters that typing never lets in: Calculate refuses every text that
        // does not start with a number greater than 0.
        for (const char* text : {"-1", "-2.5e3", "+0", "abc", "nan", "inf", "0x1A", " ", "1e-400", "."}) {
            enter(IDC_INITIAL_M, entry, text);
            EXPECT_EQ(fieldText(IDC_INITIAL_M), text) << describe(entry, text);
            expectCalculateRefused(IDC_INITIAL_M, describe(entry, text));
        }
        // A number that typing could not produce is taken by its leading part, sign included.
        const struct {
            const char* text;
            double value;
        } accepted[] = {{"+2.5", 2.5}, {"  4", 4.0}, {"7 apples", 7.0}, {"1d2", 100.0}, {"3e+2", 300.0}};
        for (const auto& a : accepted) {
            enter(IDC_INITIAL_M, entry, a.text);
            EXPECT_EQ(validateInputs(), 0) << describe(entry, a.text);
            EXPECT_EQ(state.initialM, a.value) << describe(entry, a.text);
        }

        // A negative gamma can only be pasted; it is stored like any other. A paste that leaves
        // the field empty is refused there.
        tick(IDC_AUTO_GAMMA, false);
        enter(IDC_GAMMA, entry, "-2.5");
        EXPECT_EQ(validateInputs(), 0) << describe(entry, "-2.5");
        EXPECT_EQ(state.gamma, -2.5) << describe(entry, "-2.5");
        enter(IDC_GAMMA, entry, "");
        expectCalculateRefused(IDC_GAMMA, describe(entry, ""));
        tick(IDC_AUTO_GAMMA, true);
    }

    // Far more text than the filter (255 characters) or validation (511) reads.
    const std::string flood = "2.5" + std::string(20000, 'x');
    enter(IDC_INITIAL_M, Entry::pasteMessage, flood);
    EXPECT_EQ(GetWindowTextLengthA(field(IDC_INITIAL_M)), static_cast<int>(flood.size()));
    SendMessageA(field(IDC_INITIAL_M), WM_CHAR, '.', 1);
    EXPECT_EQ(GetWindowTextLengthA(field(IDC_INITIAL_M)), static_cast<int>(flood.size()))
        << "the typed point is dropped";
    EXPECT_EQ(validateInputs(), 0);
    EXPECT_EQ(state.initialM, 2.5);
}

TEST_F(ProgramTest, DataFileTextsThatNameNoFileOnADiskAreRefused)
{
    setFieldText(IDC_INITIAL_M, "1");
    const std::string data = writeFile(scratchPath("hostile.dat"), shortSample);
    const std::string folder = scratchPath("hostile-folder");
    CreateDirectoryA(folder.c_str(), nullptr);

    // 511 characters, all that validation reads of the field: the path leads to a file, but it is
    // longer than a Windows path may be. With more characters behind it the text names nothing, and
    // the field takes a paste far beyond what is read of it.
    const std::string longest = paddedPath(511);
    ASSERT_EQ(longest.size(), 511u);
    const std::string refused[] = {
        longest,
        longest + std::string(89, 'x'),
        std::string(20000, 'a'),
        folder,
        folder + "\\",
        folder + "\\.",
        folder + "\\..",
        data.substr(0, data.size() - 1) + "?",
        folder + "\\..\\*.dat",
        "*",
        "?",
    };
    for (Entry entry : {Entry::setText, Entry::pasteMessage}) {
        for (const std::string& text : refused) {
            enter(IDC_DATA_FILE, entry, text);
            EXPECT_EQ(GetWindowTextLengthA(field(IDC_DATA_FILE)), static_cast<int>(text.size()))
                << describe(entry, text);
            expectCalculateRefused(IDC_DATA_FILE, describe(entry, text));
        }
    }

    // The longest path the system takes still reads the file it leads to: the refusal above is the
    // system's limit, not a cut.
    const std::string usable = paddedPath(259);
    ASSERT_TRUE(calculate(usable, "1", true));
    EXPECT_STREQ(state.RFile, usable.c_str());
    EXPECT_EQ(state.samplesHeld, 1);
    EXPECT_EQ(state.n, 6u);
}

TEST_F(ProgramTest, DataFileNamingADeviceIsRefusedBeforeARunCouldReadItForEver)
{
    setFieldText(IDC_INITIAL_M, "1");
    // Devices pass the file-system search like files. A serial port or, under Wine, a Unix device
    // such as /dev/zero never ends, and a run that reads it cannot be stopped.
    for (const char* device : {"NUL", "nul.dat", "COM1", "Z:\\dev\\zero", "Z:\\dev\\urandom"}) {
        setFieldText(IDC_DATA_FILE, device);
        expectCalculateRefused(IDC_DATA_FILE, device);
    }
}

TEST_F(ProgramTest, DataFileValidationTellsDevicesAndPipesByTheirNamesWithoutOpeningAnything)
{
    setFieldText(IDC_INITIAL_M, "1");
    // A pipe server waiting for a client: opening the pipe's name would connect to it.
    const std::string pipe = "varnel-test-" + std::to_string(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeA(("\\\\.\\pipe\\" + pipe).c_str(),
                                     PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1, 512, 512,
                                     0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    OVERLAPPED waiting = {};
    waiting.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_FALSE(ConnectNamedPipe(server, &waiting));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));

    ImportHook hook("kernel32.dll", "CreateFileA", reinterpret_cast<void*>(recordingCreateFileA));
    ASSERT_GT(hook.slotsReplaced(), 0);
    realCreateFileA = hook.original<decltype(&CreateFileA)>();
    openedPaths.clear();

    const std::string refused[] = {
        // DOS device names, in any case, with an extension, a stream, trailing blanks, in a folder.
        "NUL", "nul", "Nul.dat", "nul .txt", "NUL:", "CON", "con.txt", "AUX", "PRN.log", "COM1", "com9.dat",
        "LPT1", "lpt3.txt", "CONIN$", "CONOUT$", "C:NUL", "C:\\folder\\aux.dat", scratchPath("nul"),
        scratchPath("COM1.dat"), scratchPath("lpt2"),
        // The device namespace, with either separator; a volume and a disk.
        "\\\\.\\NUL", "\\\\.\\COM1", "\\\\?\\NUL", "//./COM1", "\\\\.", "\\\\.\\C:", "\\\\?\\C:",
        "\\\\.\\PhysicalDrive0", "\\\\?\\GLOBALROOT\\Device\\Null",
        // The pipe, by every way of naming it, and a server's pipes and mailslots.
        "\\\\.\\pipe\\" + pipe, "//./pipe/" + pipe, "\\\\?\\pipe\\" + pipe, "\\??\\pipe\\" + pipe,
        "\\\\.\\C:\\..\\pipe\\" + pipe, "\\\\localhost\\pipe\\" + pipe,
        "\\\\?\\UNC\\localhost\\PIPE\\" + pipe,
        "\\\\.\\mailslot\\x", "\\\\server\\mailslot\\x", "\\\\server\\IPC$\\x",
        // Unix devices under Wine, which its file-system search finds like files.
        "Z:\\dev\\zero", "Z:\\dev\\urandom", "Z:\\dev\\null", "Z:\\dev\\tty", "\\\\?\\Z:\\dev\\zero",
    };
    for (const std::string& text : refused) {
        setFieldText(IDC_DATA_FILE, text);
        expectCalculateRefused(IDC_DATA_FILE, text);
    }
    EXPECT_EQ(WaitForSingleObject(waiting.hEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "validation connected to the pipe";

    // Files on a disk pass, also in the device-namespace form of their path, and are not opened
    // either. (The "\\?\" forms never get this far: "?" is a wildcard to validation.)
    const std::string data = writeFile(scratchPath("disk.dat"), shortSample);
    const std::string accepted[] = {data, "\\\\.\\" + data, "win32-test-files\\disk.dat",
                                    "win32-test-files/./disk.dat"};
    for (const std::string& text : accepted) {
        setFieldText(IDC_DATA_FILE, text);
        EXPECT_EQ(validateInputs(), 0) << text;
        EXPECT_EQ(state.RFile, text);
    }
    EXPECT_EQ(joined(openedPaths), "") << "validation opened these paths";

    CancelIo(server);
    CloseHandle(server);
    CloseHandle(waiting.hEvent);
}

TEST(FileSearch, DevicesAreToldFromThePathAlone)
{
    const struct {
        const char* path;
        bool device;
    } cases[] = {
        {"data.dat", false},
        {"C:\\data\\nullable.dat", false},
        {"C:\\data\\com10", false},
        {"C:\\data\\lpt", false},
        {"C:\\console\\data.dat", false},
        {"\\\\server\\share\\data.dat", false},
        {"\\\\server\\pipes\\data.dat", false},
        {"\\\\.\\C:\\data.dat", false},
        {"\\\\?\\C:\\data.dat", false},
        {"\\??\\C:\\data.dat", false},
        {"\\\\?\\UNC\\server\\share\\data.dat", false},
        {"NUL", true},
        {"C:\\data\\lpt0", true},
        {"C:\\data\\conout$.txt", true},
        {"C:\\data/aux  .dat:stream", true},
        {"\\\\?\\C:", true},
        {"\\\\?\\pipe\\x", true},
        {"\\??\\pipe\\x", true},
        {"\\??\\C:", true},
        {"\\\\?\\UNC\\server\\pipe\\x", true},
        {"\\\\?\\Volume{00000000-0000-0000-0000-000000000000}\\data.dat", true},
        {"//server/MailSlot/x", true},
        {"\\\\?", true},
        {"\\\\.\\C:\\..\\..\\COM1", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(namesDeviceByForm(c.path), c.device) << c.path;
    }
    // COM and LPT with a superscript digit, which is byte B9 in the Western code page.
    if (GetACP() == 1252) {
        EXPECT_TRUE(namesDeviceByForm("c:\\data\\Com\xB9.dat"));
    }
}

TEST_F(ProgramTest, DropDuringARunIsIgnored)
{
    startLongRun();
    ASSERT_TRUE(pumpDialogUntil(monitorShows));
    const std::string running = fieldText(IDC_DATA_FILE);

    // Drops are refused during a run, but any program can post WM_DROPFILES.
    const std::string dropped = writeFile(scratchPath("dropped.dat"), shortSample);
    HDROP drop = makeDrop({dropped});
    PostMessageA(mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    pumpFor(200);
    EXPECT_EQ(fieldText(IDC_DATA_FILE), running);

    dialogCommand(IDC_STOP);
    ASSERT_TRUE(pumpDialogUntil(idle));
    EXPECT_EQ(fieldText(IDC_DATA_FILE), running);
    dropOntoMainWindow({dropped});
    EXPECT_EQ(fieldText(IDC_DATA_FILE), dropped) << "once idle, drops are taken again";
}

TEST_F(ProgramTest, CalculatePressedAgainDuringARunIsRefused)
{
    countRunEnds();
    startLongRun();
    const std::string running = state.RFile;
    ASSERT_TRUE(pumpDialogUntil(monitorShows));
    const std::string monitor = fieldText(IDC_MONITOR_M);

    // Inputs changed behind the disabled controls must not reach the worker through a second
    // Calculate, whichever way it is pressed.
    setFieldText(IDC_DATA_FILE, writeFile(scratchPath("hostile.dat"), shortSample));
    setFieldText(IDC_INITIAL_M, "2");
    for (int i = 0; i < 3; ++i) {
        SendMessageA(field(IDC_CALCULATE), BM_CLICK, 0, 0);
        dialogCommand(IDC_CALCULATE);
        menuCommand(IDM_CALCULATE);
        PostMessageA(field(IDC_STOP), WM_KEYDOWN, VK_RETURN, 0);
    }
    EXPECT_EQ(fieldText(IDC_MONITOR_M), monitor) << "a refused Calculate clears no field";
    pumpFor(300);
    EXPECT_FALSE(idle());
    EXPECT_STREQ(state.RFile, running.c_str());
    EXPECT_EQ(state.initialM, 1.0);
    EXPECT_TRUE(IsWindowEnabled(field(IDC_STOP)));

    dialogCommand(IDC_STOP);
    ASSERT_TRUE(pumpDialogUntil(idle));
    pumpFor(500);  // time for the end of any second run to arrive
    EXPECT_EQ(runEnds, 1);
    expectResultsOfAStoppedRun();
}

TEST_F(ProgramTest, StopPressedTwiceEndsTheRunOnceWithTheResultsReached)
{
    const std::string sample = writeFile(scratchPath("hostile.dat"), shortSample);
    ASSERT_TRUE(calculate(sample, "1", true));
    const std::string convergedM = fieldText(IDC_RESULT_M);

    countRunEnds();
    startLongRun();
    ASSERT_TRUE(pumpDialogUntil(monitorShows));
    dialogCommand(IDC_STOP);
    menuCommand(IDM_STOP);
    ASSERT_TRUE(pumpDialogUntil(idle));
    pumpFor(300);
    EXPECT_EQ(runEnds, 1);
    expectResultsOfAStoppedRun();

    // A late press, after the run has ended, does not cut the next run short.
    dialogCommand(IDC_STOP);
    ASSERT_TRUE(calculate(sample, "1", true));
    EXPECT_EQ(fieldText(IDC_RESULT_M), convergedM);
    EXPECT_EQ(runEnds, 2);
}

TEST_F(ProgramTest, ExitDuringARunIsRefusedAndExitRightAfterItsEndEndsTheProgram)
{
    countRunEnds();
    startLongRun();
    ASSERT_TRUE(pumpDialogUntil(monitorShows));

    dialogCommand(IDC_EXIT);
    menuCommand(IDM_EXIT);
    PostMessageA(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(mainWindow, WM_SYSKEYDOWN, VK_F4, 1 << 29);  // Alt+F4
    pumpFor(500);
    ASSERT_TRUE(IsWindow(mainWindow));
    EXPECT_EQ(quitCode, -1);
    EXPECT_FALSE(idle());
    EXPECT_EQ(state.samplesHeld, 1);

    // Exit arrives the moment the dialog has taken the end of the run.
    afterRunEnd = [] { PostMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0); };
    dialogCommand(IDC_STOP);
    ASSERT_TRUE(pumpDialogUntil([] { return quitCode != -1; }, 20000));
    EXPECT_EQ(quitCode, 0);
    EXPECT_EQ(runEnds, 1);
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_EQ(state.samplesHeld, 0);
    EXPECT_EQ(state.samples, nullptr);
}

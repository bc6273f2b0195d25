// Whole runs through the dialog: results, the two failures, Stop during a long iteration, the
// running state's enabling, and Save.
#include <cstdlib>
#include <string>

#include "program_fixture.h"
#include "../report_text.h"
#include "report_file.h"
#include "test_files.h"
#include "window_driver.h"

namespace {

const char sixValues[] = "12.5\n7.25\n30\n18\n22.75\n9.5\n";

std::string sixValueFile()
{
    return writeFile(scratchPath("six.dat"), sixValues);
}

// 100 observations close together far from zero: each damped Newton step is tiny, so with
// gamma 0 and a start at 1 the iteration climbs for many seconds.
std::string slowFile()
{
    std::string values;
    for (int i = 0; i < 100; ++i) {
        values += std::to_string(20.0 + 0.005 * i) + "\n";
    }
    return writeFile(scratchPath("slow.dat"), values);
}

bool acceptsDrops()
{
    return (GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

// Waits for the worker's message box, checks its text and dismisses it as the user would.
void dismissFailure(const char* caption, const wchar_t* text)
{
    ASSERT_TRUE(pumpDialogUntil([] {
        return boxCaptioned("Read data error") != nullptr || boxCaptioned("Parameter error") != nullptr;
    })) << caption;
    HWND box = boxCaptioned(caption);
    ASSERT_NE(box, nullptr) << caption;
    EXPECT_NE(staticTexts(box).find(text), std::wstring::npos) << caption;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(pumpDialogUntil(idle));
}

void expectIdleAfterFailure()
{
    EXPECT_EQ(state.samplesHeld, 0);
    EXPECT_FALSE(IsWindowEnabled(field(IDC_SAVE)));
    EXPECT_TRUE(menuItemGrayed(menuBar, IDM_SAVE));
    EXPECT_EQ(GetFocus(), field(IDC_CALCULATE));
    for (int id = IDC_RESULT_M; id <= IDC_RESULT_SIGMA2; ++id) {
        EXPECT_EQ(fieldText(id), "") << id;
    }
}

}

TEST_F(ProgramTest, CalculateShowsTheSevenResultsAndOffersSave)
{
    ASSERT_TRUE(calculate(sixValueFile(), "1", true));
    const char* expected[] = {" 1.5099e+000", " 4.8684e+001", " 4.8656e+000", " 1.6690e+001",
                              " 1.5149e+001", " 1.1253e+001", " 6.3681e+001"};
    for (int id = IDC_RESULT_M; id <= IDC_RESULT_SIGMA2; ++id) {
        EXPECT_EQ(fieldText(id), expected[id - IDC_RESULT_M]) << id;
    }
    EXPECT_EQ(state.samplesHeld, 1);
    EXPECT_TRUE(IsWindowEnabled(field(IDC_SAVE)));
    EXPECT_FALSE(menuItemGrayed(menuBar, IDM_SAVE));
    EXPECT_EQ(GetFocus(), field(IDC_SAVE));
    EXPECT_FALSE(IsWindowEnabled(field(IDC_MONITOR_M)));
    EXPECT_FALSE(IsWindowEnabled(field(IDC_GAMMA))) << "Auto Gamma is still ticked";
}

TEST_F(ProgramTest, FailedRunsShowTheirBoxAndReturnToIdleWithoutSave)
{
    ASSERT_TRUE(calculate(sixValueFile(), "1", true));
    ASSERT_TRUE(IsWindowEnabled(field(IDC_SAVE)));

    fillInputs(writeFile(scratchPath("two.dat"), "1\n2\n"), "1", true);
    dialogCommand(IDC_CALCULATE);
    dismissFailure("Read data error", L"Invalid data type");
    expectIdleAfterFailure();

    fillInputs(writeFile(scratchPath("three.dat"), "1\n2\n3\n"), "1", false);
    setFieldText(IDC_GAMMA, "1");
    dialogCommand(IDC_CALCULATE);
    dismissFailure("Parameter error", L"Invalid gamma");
    expectIdleAfterFailure();
    EXPECT_TRUE(IsWindowEnabled(field(IDC_GAMMA))) << "Auto Gamma is not ticked";
}

TEST_F(ProgramTest, DuringARunOnlyStopAndHelpActAndStopKeepsTheResultsReached)
{
    fillInputs(slowFile(), "1", false);
    setFieldText(IDC_GAMMA, "0");
    dialogCommand(IDC_CALCULATE);

    EXPECT_FALSE(acceptsDrops());
    EXPECT_TRUE(menuItemGrayed(menuBar, IDM_CALCULATE));
    EXPECT_TRUE(menuItemGrayed(menuBar, IDM_SAVE));
    EXPECT_FALSE(menuItemGrayed(menuBar, IDM_STOP));
    EXPECT_TRUE(menuItemGrayed(menuBar, IDM_EXIT));
    EXPECT_TRUE(menuItemGrayed(systemMenu, SC_CLOSE));
    for (int id : {IDM_CONTENTS, IDM_HELP_ON_HELP, IDM_ABOUT}) {
        EXPECT_FALSE(menuItemGrayed(menuBar, id)) << id;
    }
    for (int id : {IDC_STOP, IDC_HELP_BUTTON, IDC_MONITOR_M, IDC_MONITOR_G}) {
        EXPECT_TRUE(IsWindowEnabled(field(id))) << id;
    }
    for (int id : {IDC_BROWSE, IDC_CALCULATE, IDC_SAVE, IDC_EXIT, IDC_AUTO_GAMMA, IDC_DATA_FILE,
                   IDC_INITIAL_M, IDC_GAMMA, IDC_RESULT_M, IDC_RESULT_T0, IDC_RESULT_GAMMA, IDC_RESULT_MU,
                   IDC_RESULT_XI, IDC_RESULT_TM, IDC_RESULT_SIGMA2, IDC_RANK_MEAN, IDC_RANK_END_POINT,
                   IDC_RANK_MEDIAN, IDC_RANK_MID_POINT}) {
        EXPECT_FALSE(IsWindowEnabled(field(id))) << id;
    }

    // The monitor shows its first iterate after half a second; the run is then well under way.
    ASSERT_TRUE(pumpDialogUntil([] { return !fieldText(IDC_MONITOR_M).empty(); }));
    EXPECT_FALSE(idle());
    dialogCommand(IDC_STOP);
    ASSERT_TRUE(pumpDialogUntil(idle));

    // Left alone the iteration would end near m = 155.4.
    const double m = std::strtod(fieldText(IDC_RESULT_M).c_str(), nullptr);
    EXPECT_GT(m, 1.0);
    EXPECT_LT(m, 150.0);
    EXPECT_FALSE(fieldText(IDC_RESULT_SIGMA2).empty());
    EXPECT_EQ(state.samplesHeld, 1);
    EXPECT_TRUE(IsWindowEnabled(field(IDC_SAVE)));
    EXPECT_EQ(GetFocus(), field(IDC_SAVE));

    EXPECT_TRUE(acceptsDrops());
    EXPECT_FALSE(menuItemGrayed(menuBar, IDM_CALCULATE));
    EXPECT_FALSE(menuItemGrayed(menuBar, IDM_SAVE));
    EXPECT_TRUE(menuItemGrayed(menuBar, IDM_STOP));
    EXPECT_FALSE(menuItemGrayed(menuBar, IDM_EXIT));
    EXPECT_FALSE(menuItemGrayed(systemMenu, SC_CLOSE));
    for (int id : {IDC_STOP, IDC_MONITOR_M, IDC_MONITOR_G}) {
        EXPECT_FALSE(IsWindowEnabled(field(id))) << id;
    }
    for (int id : {IDC_BROWSE, IDC_CALCULATE, IDC_SAVE, IDC_EXIT, IDC_HELP_BUTTON, IDC_AUTO_GAMMA,
                   IDC_DATA_FILE, IDC_INITIAL_M, IDC_GAMMA, IDC_RESULT_M, IDC_RESULT_SIGMA2,
                   IDC_RANK_MEAN, IDC_RANK_MID_POINT}) {
        EXPECT_TRUE(IsWindowEnabled(field(id))) << id;
    }
}

TEST_F(ProgramTest, SaveWritesTheReportOfTheRunToTheChosenFile)
{
    ASSERT_TRUE(calculate(sixValueFile(), "1", true));
    const std::string path = scratchPath("saved.dat");
    DeleteFileA(path.c_str());

    ModalHelper chooser({[&](HWND box) { chooseFile(box, path); }});
    dialogCommand(IDC_SAVE);
    ASSERT_TRUE(chooser.finish());

    EXPECT_STREQ(state.reportFile, path.c_str());
    EXPECT_EQ(readFile(path), reportText());
}

TEST_F(ProgramTest, SaveThatCannotWriteTheFileSaysSo)
{
    ASSERT_TRUE(calculate(sixValueFile(), "1", true));
    const std::string path = writeFile(scratchPath("locked.dat"), "kept");
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    std::string caption;
    ModalHelper boxes({
        [&](HWND box) { chooseFile(box, path); },
        [&](HWND box) { pressButton(box, IDYES); },  // replace the existing file
        [&](HWND box) {
            caption = windowText(box);
            pressButton(box, IDOK);
        },
    });
    dialogCommand(IDC_SAVE);
    const bool answered = boxes.finish();
    CloseHandle(lock);
    ASSERT_TRUE(answered);
    EXPECT_EQ(caption, "Save error");
    EXPECT_EQ(readFile(path), "kept");
}

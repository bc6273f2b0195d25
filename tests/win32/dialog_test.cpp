// The parameter dialog in its idle state: start state, Auto Gamma, validation with its focus and
// the character filter of the numeric fields.
#include <cstring>
#include <string>

#include "input_validation.h"
#include "param_dialog.h"
#include "program_fixture.h"
#include "test_files.h"
#include "window_driver.h"

namespace {

void type(int id, const char* characters)
{
    for (const char* c = characters; *c != '\0'; ++c) {
        SendMessageA(field(id), WM_CHAR, static_cast<unsigned char>(*c), 1);
    }
}

std::string typedInto(int id, const char* characters)
{
    setFieldText(id, "");
    type(id, characters);
    return fieldText(id);
}

bool acceptsDrops()
{
    return (GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

DWORD selection(int id)
{
    return static_cast<DWORD>(SendMessageA(field(id), EM_GETSEL, 0, 0));
}

}

TEST_F(ProgramTest, StartsIdleWithAutoGammaFirstRankMethodAndEmptyFields)
{
    EXPECT_TRUE(ticked(IDC_AUTO_GAMMA));
    EXPECT_FALSE(IsWindowEnabled(field(IDC_GAMMA)));
    EXPECT_TRUE(ticked(IDC_RANK_MEAN));
    for (int id = IDC_RANK_END_POINT; id <= IDC_RANK_MID_POINT; ++id) {
        EXPECT_FALSE(ticked(id)) << id;
    }
    EXPECT_FALSE(IsWindowEnabled(field(IDC_SAVE)));
    EXPECT_FALSE(IsWindowEnabled(field(IDC_STOP)));
    EXPECT_TRUE(menuItemGrayed(menuBar, IDM_SAVE));
    EXPECT_TRUE(menuItemGrayed(menuBar, IDM_STOP));
    EXPECT_FALSE(menuItemGrayed(menuBar, IDM_CALCULATE));
    EXPECT_FALSE(menuItemGrayed(menuBar, IDM_EXIT));
    EXPECT_FALSE(menuItemGrayed(systemMenu, SC_CLOSE));
    EXPECT_FALSE(IsWindowEnabled(field(IDC_MONITOR_M)));
    EXPECT_FALSE(IsWindowEnabled(field(IDC_MONITOR_G)));
    EXPECT_TRUE(IsWindowEnabled(field(IDC_RESULT_M)));
    EXPECT_TRUE(acceptsDrops());
    for (int id = IDC_DATA_FILE; id <= IDC_RESULT_SIGMA2; ++id) {
        EXPECT_EQ(fieldText(id), "") << id;
    }
    EXPECT_EQ(GetFocus(), field(IDC_DATA_FILE));
    EXPECT_EQ(state.samplesHeld, 0);
    EXPECT_EQ(state.stopRequested, 0);
}

TEST_F(ProgramTest, AutoGammaSwitchesTheGammaFieldAndKeepsItsText)
{
    setFieldText(IDC_GAMMA, "0.5");
    SendMessageA(field(IDC_AUTO_GAMMA), BM_CLICK, 0, 0);
    EXPECT_FALSE(ticked(IDC_AUTO_GAMMA));
    EXPECT_TRUE(IsWindowEnabled(field(IDC_GAMMA)));
    SendMessageA(field(IDC_AUTO_GAMMA), BM_CLICK, 0, 0);
    EXPECT_TRUE(ticked(IDC_AUTO_GAMMA));
    EXPECT_FALSE(IsWindowEnabled(field(IDC_GAMMA)));
    EXPECT_EQ(fieldText(IDC_GAMMA), "0.5");
}

TEST_F(ProgramTest, ValidationYieldsTheFirstInvalidFieldOrStoresTheInputs)
{
    const std::string data = writeFile(scratchPath("valid.dat"), "1\n2\n3\n");
    const std::string wildcard = data.substr(0, data.size() - 5) + "?.dat";
    const std::string folder = scratchPath("folder.dat");
    CreateDirectoryA(folder.c_str(), nullptr);
    struct Case {
        std::string dataFile;
        bool autoGamma;
        const char* gamma;
        const char* initialM;
        int expected;
    };
    const Case cases[] = {
        {"", true, "", "1", IDC_DATA_FILE},
        {wildcard, true, "", "1", IDC_DATA_FILE},
        {folder, true, "", "1", IDC_DATA_FILE},
        {scratchPath("missing.dat"), true, "", "1", IDC_DATA_FILE},
        {data, false, "", "1", IDC_GAMMA},
        {data, true, "", "1", 0},
        {data, false, "0", "1", 0},
        {data, true, "", "", IDC_INITIAL_M},
        {data, true, "", "0", IDC_INITIAL_M},
        {data, true, "", "0.0", IDC_INITIAL_M},
        {data, true, "", "000", IDC_INITIAL_M},
        {data, true, "", "1e", 0},
        {"", false, "", "", IDC_DATA_FILE},
    };
    for (const Case& c : cases) {
        setFieldText(IDC_DATA_FILE, c.dataFile);
        tick(IDC_AUTO_GAMMA, c.autoGamma);
        setFieldText(IDC_GAMMA, c.gamma);
        setFieldText(IDC_INITIAL_M, c.initialM);
        EXPECT_EQ(validateInputs(), c.expected)
            << "'" << c.dataFile << "' " << c.autoGamma << " '" << c.gamma << "' '" << c.initialM << "'";
    }

    setFieldText(IDC_DATA_FILE, data);
    tick(IDC_AUTO_GAMMA, false);
    setFieldText(IDC_GAMMA, "0.25");
    setFieldText(IDC_INITIAL_M, "1.5E");
    tick(IDC_RANK_MEAN, false);
    tick(IDC_RANK_MEDIAN, true);
    ASSERT_EQ(validateInputs(), 0);
    EXPECT_STREQ(state.RFile, data.c_str());
    EXPECT_EQ(state.autoGamma, 0);
    EXPECT_EQ(state.gamma, 0.25);
    EXPECT_EQ(state.initialM, 1.5);
    EXPECT_EQ(state.Fi, 3);

    tick(IDC_AUTO_GAMMA, true);
    setFieldText(IDC_INITIAL_M, "5.");
    ASSERT_EQ(validateInputs(), 0);
    EXPECT_EQ(state.autoGamma, 1);
    EXPECT_EQ(state.gamma, 0.25) << "a ticked Auto Gamma leaves the typed gamma alone";
    EXPECT_EQ(state.initialM, 5.0);
}

TEST_F(ProgramTest, FailedCalculateFocusesTheFieldAndKeepsTheStoredInputs)
{
    const std::string data = writeFile(scratchPath("valid.dat"), "1\n2\n3\n");
    std::strcpy(state.RFile, "earlier.dat");
    state.gamma = 7.0;
    state.initialM = 3.0;
    for (int id = IDC_MONITOR_M; id <= IDC_RESULT_SIGMA2; ++id) {
        setFieldText(id, "x");
    }

    setFieldText(IDC_DATA_FILE, "nothing here.dat");
    tick(IDC_AUTO_GAMMA, false);
    EXPECT_EQ(ParamDlgProc(paramDialog, WM_COMMAND, IDC_CALCULATE, 0), 1);
    EXPECT_EQ(GetFocus(), field(IDC_DATA_FILE));
    EXPECT_EQ(selection(IDC_DATA_FILE), MAKELONG(0, 16));
    for (int id = IDC_MONITOR_M; id <= IDC_RESULT_SIGMA2; ++id) {
        EXPECT_EQ(fieldText(id), "") << id;
    }

    setFieldText(IDC_DATA_FILE, data);
    dialogCommand(IDC_CALCULATE);
    EXPECT_EQ(GetFocus(), field(IDC_GAMMA));

    setFieldText(IDC_GAMMA, "0.5");
    setFieldText(IDC_INITIAL_M, "000");
    dialogCommand(IDC_CALCULATE);
    EXPECT_EQ(GetFocus(), field(IDC_INITIAL_M));
    EXPECT_EQ(selection(IDC_INITIAL_M), MAKELONG(0, 3));

    EXPECT_TRUE(idle());
    EXPECT_STREQ(state.RFile, "earlier.dat");
    EXPECT_EQ(state.gamma, 7.0);
    EXPECT_EQ(state.initialM, 3.0);
}

TEST_F(ProgramTest, NumericFieldsTakeOnlyUnsignedDecimalNumbers)
{
    for (int id : {IDC_GAMMA, IDC_INITIAL_M}) {
        tick(IDC_AUTO_GAMMA, false);
        EXPECT_EQ(typedInto(id, "1.2.3"), "1.23") << id;
        EXPECT_EQ(typedInto(id, "."), "") << id;
        EXPECT_EQ(typedInto(id, "e"), "") << id;
        EXPECT_EQ(typedInto(id, "1e5e"), "1e5") << id;
        EXPECT_EQ(typedInto(id, "2E5e.5"), "2E5.5") << id;
        EXPECT_EQ(typedInto(id, "-1+2 x\xE9"), "12") << id;
        EXPECT_EQ(typedInto(id, "12\b3"), "13") << id;

        // The first character is never examined, so a point typed in front of 5 allows another.
        setFieldText(id, "5");
        SendMessageA(field(id), EM_SETSEL, 0, 0);
        type(id, ".");
        EXPECT_EQ(fieldText(id), ".5") << id;
        SendMessageA(field(id), EM_SETSEL, 2, 2);
        type(id, ".");
        EXPECT_EQ(fieldText(id), ".5.") << id;
    }
    EXPECT_EQ(typedInto(IDC_DATA_FILE, "-x e.."), "-x e..") << "the data-file field is not filtered";
}

TEST_F(ProgramTest, EnterStartsCalculateAndEscapeDoesNothing)
{
    setFieldText(IDC_INITIAL_M, "2");
    SetFocus(field(IDC_INITIAL_M));
    PostMessageA(field(IDC_INITIAL_M), WM_KEYDOWN, VK_ESCAPE, 0);
    pumpDialogUntil([] { return false; }, 300);
    EXPECT_TRUE(IsWindow(paramDialog));
    EXPECT_EQ(GetFocus(), field(IDC_INITIAL_M));

    // The data-file field is empty, so the Calculate started by Enter moves the focus there.
    PostMessageA(field(IDC_INITIAL_M), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(pumpDialogUntil([] { return GetFocus() == field(IDC_DATA_FILE); }, 5000));
}

// The in-process fixture: each test starts the program's real main window and dialog in the test
// process, as start-up does, and ends them with Exit.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_controls.h"
#include "estimation_state.h"
#include "resource_ids.h"
#include "ui_handles.h"

class ProgramTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

HWND field(int id);
std::string fieldText(int id);
void setFieldText(int id, const std::string& text);
void tick(int id, bool ticked);
bool ticked(int id);

// Sends a dialog command as a button click does.
void dialogCommand(int id);

// Sends a menu command to the main window.
void menuCommand(int id);

bool menuItemGrayed(HMENU menu, UINT id);

// The dialog is idle once Calculate is enabled again.
bool idle();

// Pumps messages through the dialog until `done` holds; false after `timeoutMs`.
bool pumpDialogUntil(bool (*done)(), DWORD timeoutMs = 30000);

// A top-level window with this caption, or null.
HWND boxCaptioned(const char* caption);

// Fills the inputs of a valid Calculate: data file, initial m and Auto Gamma.
void fillInputs(const std::string& dataFile, const char* initialM, bool autoGamma);

// Starts a Calculate with those inputs and waits for the run to end; true when it ended in time.
bool calculate(const std::string& dataFile, const char* initialM, bool autoGamma);

// A drop as the shell hands it over: a DROPFILES header followed by the ANSI paths, each ended by a
// zero, and one more zero at the end.
HDROP makeDrop(const std::vector<std::string>& paths);

// Sends WM_DROPFILES with such a drop to the main window.
void dropOntoMainWindow(const std::vector<std::string>& paths);

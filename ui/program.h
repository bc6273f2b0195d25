// Start-up, message loop and end of the Windows program.
#pragma once

#include <windows.h>

// Registers the window class, creates the main window (and with it the dialog), builds the help
// path, takes the command line's data file and shows the window. Returns false, after the failure
// message, when the main window could not be created.
bool startUp(HINSTANCE instance, const char* commandTail, int showCommand);

// Runs until the quit request and returns its code, the program's exit status.
int runMessageLoop();

// The whole program: start-up, then the message loop; exit status 0 also after a failed start.
int runProgram(HINSTANCE instance, const char* commandTail, int showCommand);

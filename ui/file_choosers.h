// The open and save-as file choosers of Browse and Save.
#pragma once

#include <windows.h>

// Each shows its chooser owned by `owner`, starting with `initialName`, and yields 1 when the user
// chose a path shorter than `capacity` (copied into `destination`), 2 otherwise.
int askOpenPath(HWND owner, const char* initialName, char* destination, int capacity);
int askSavePath(HWND owner, const char* initialName, char* destination, int capacity);

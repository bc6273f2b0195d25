// The two start-up failure messages, whose texts are Japanese.
#pragma once

#include <windows.h>

// Shift-JIS (code page 932) texts of the messages.
extern const char startupFailureCaption[];
extern const char mainWindowFailedText[];
extern const char dialogFailedText[];

// Shows `text` under the start-up failure caption with the error icon, owned by `owner` (may be
// none), and returns once it is dismissed.
void showStartupFailure(HWND owner, const char* text);

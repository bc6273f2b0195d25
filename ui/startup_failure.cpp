// The start-up failure messages. Their texts stay Shift-JIS bytes in the program, but are converted
// from code page 932 explicitly and shown through the wide message box, so that they read correctly
// on a Windows of any language, not only where 932 is the system code page. Where code page 932 is
// not installed the conversion fails, and the original bytes go to the ANSI message box instead.
#include "startup_failure.h"

// "ﾌﾟﾛｸﾞﾗﾑ起動失敗", program start-up failed
const char startupFailureCaption[] = "\xCC\xDF\xDB\xB8\xDE\xD7\xD1\x8B\x4E\x93\xAE\x8E\xB8\x94\x73";
// "親ｳｨﾝﾄﾞｳの作成に失敗しました", creating the parent window failed
const char mainWindowFailedText[] =
    "\x90\x65\xB3\xA8\xDD\xC4\xDE\xB3\x82\xCC\x8D\xEC\x90\xAC\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD";
// "子ｳｨﾝﾄﾞｳの作成に失敗しました", creating the child window failed
const char dialogFailedText[] =
    "\x8E\x71\xB3\xA8\xDD\xC4\xDE\xB3\x82\xCC\x8D\xEC\x90\xAC\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

namespace {

constexpr UINT shiftJis = 932;

}

void showStartupFailure(HWND owner, const char* text)
{
    wchar_t wideText[64];
    wchar_t wideCaption[32];
    if (MultiByteToWideChar(shiftJis, 0, text, -1, wideText, 64) == 0
        || MultiByteToWideChar(shiftJis, 0, startupFailureCaption, -1, wideCaption, 32) == 0) {
        MessageBoxA(owner, text, startupFailureCaption, MB_OK | MB_ICONERROR);
        return;
    }
    MessageBoxW(owner, wideText, wideCaption, MB_OK | MB_ICONERROR);
}

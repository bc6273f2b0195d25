// Window-driving helpers of the Windows tests.
#include "window_driver.h"

#include <dlgs.h>

#include <set>

int quitCode = -1;

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs, HWND dialog)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitCode = static_cast<int>(message.wParam);
            } else if (dialog == nullptr || !IsDialogMessageA(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        if (done()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string windowText(HWND window)
{
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring wideWindowText(HWND window)
{
    wchar_t text[1024] = L"";
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

namespace {

BOOL CALLBACK collectStaticText(HWND child, LPARAM texts)
{
    char className[32];
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        const std::wstring text = wideWindowText(child);
        if (!text.empty()) {
            *reinterpret_cast<std::wstring*>(texts) += text + L"\n";
        }
    }
    return TRUE;
}

struct BoxSearch {
    const std::set<HWND>* handled;
    HWND found;
};

BOOL CALLBACK findNewBox(HWND window, LPARAM search)
{
    auto* s = reinterpret_cast<BoxSearch*>(search);
    char className[16];
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window) && IsWindowEnabled(window)
        && s->handled->count(window) == 0) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND findBox(DWORD thread, const std::set<HWND>& handled)
{
    BoxSearch search{&handled, nullptr};
    EnumThreadWindows(thread, findNewBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}

std::wstring staticTexts(HWND box)
{
    std::wstring texts;
    EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

ModalHelper::ModalHelper(std::vector<Step> steps)
    : ownerThread(GetCurrentThreadId()), helper(&ModalHelper::run, this, std::move(steps))
{
}

ModalHelper::~ModalHelper()
{
    finish();
}

bool ModalHelper::finish()
{
    if (helper.joinable()) {
        helper.join();
    }
    return allStepsDone;
}

void ModalHelper::run(std::vector<Step> steps)
{
    std::set<HWND> handled;
    for (const Step& step : steps) {
        HWND box = nullptr;
        const DWORD start = GetTickCount();
        while ((box = findBox(ownerThread, handled)) == nullptr && GetTickCount() - start < 10000) {
            Sleep(20);
        }
        if (box == nullptr) {
            // Leave no modal loop behind: cancel every box still open for a while.
            const DWORD rescueStart = GetTickCount();
            while (GetTickCount() - rescueStart < 3000) {
                if (HWND open = findBox(ownerThread, {})) {
                    PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
                }
                Sleep(50);
            }
            return;
        }
        // Give the box time to finish its own initialisation before it is driven.
        Sleep(200);
        handled.insert(box);
        step(box);
    }
    allStepsDone = true;
}

void pressButton(HWND box, int id)
{
    PostMessageA(box, WM_COMMAND, id, 0);
}

void chooseFile(HWND chooser, const std::string& path)
{
    HWND nameBox = GetDlgItem(chooser, cmb13);
    if (nameBox == nullptr) {
        nameBox = GetDlgItem(chooser, edt1);
    }
    SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
}

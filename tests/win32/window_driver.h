// Driving windows from the Windows tests without ever hanging: every wait pumps the calling
// thread's messages and gives up after its timeout.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Dispatches this thread's messages (through IsDialogMessageA for `dialog` when given) until
// `done` holds or `timeoutMs` has passed; returns whether `done` held. A quit request met on the
// way is kept in `quitCode` instead of ending anything.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000, HWND dialog = nullptr);

// The exit code of the last quit request `pumpUntil` removed, -1 when none.
extern int quitCode;

std::string windowText(HWND window);
std::wstring wideWindowText(HWND window);

// The texts of the static controls inside `box` (a message box or dialog), each followed by "\n".
std::wstring staticTexts(HWND box);

// Answers the modal dialog boxes that the calling thread is about to open, from a thread of its
// own. Each step waits (up to 10 seconds) for a visible, enabled dialog box of the calling thread
// that no earlier step handled, and acts on it; actions must use posted messages, since a modal loop
// opened by an action would otherwise block the helper. When a step times out the helper cancels
// whatever box is still open, so the test thread is never left inside a modal loop.
class ModalHelper {
public:
    using Step = std::function<void(HWND box)>;

    explicit ModalHelper(std::vector<Step> steps);
    ~ModalHelper();
    ModalHelper(const ModalHelper&) = delete;
    ModalHelper& operator=(const ModalHelper&) = delete;

    // Waits for the helper thread to end; true when every step found its box.
    bool finish();

private:
    void run(std::vector<Step> steps);

    DWORD ownerThread;
    std::atomic<bool> allStepsDone{false};
    std::thread helper;
};

// Step actions.
void pressButton(HWND box, int id);
// Types `path` into a file chooser's file-name box and presses OK.
void chooseFile(HWND chooser, const std::string& path);

// Catches the message boxes a test provokes: a CBT hook on the test's thread
// records each box's text, caption and icon as it is activated, then presses
// a chosen button, so the real box is exercised without a seam in the program.
//
// Boxes shown by other threads of the process (a session thread reporting a
// device failure) are caught when the catcher is made with
// BoxThreads::AnyThread: a watcher thread looks for the process's message
// boxes every few milliseconds, records each once it is shown and presses the
// button the same way. A box stays up until its button is pressed, so none
// is missed, however briefly its thread runs before showing it.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

struct CaughtBox {
    std::string text;
    std::string caption;
    std::string icon; // "exclamation", "information", "question", "error" or "none"
};

enum class BoxThreads { ThisThread, AnyThread };

class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(int button = IDOK, BoxThreads threads = BoxThreads::ThisThread);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    // The boxes caught so far, in the order they were shown.
    std::vector<CaughtBox> Boxes() const;
    // Pumps this thread's messages until count boxes have been caught, at
    // most timeoutMs; true when they have.
    bool WaitForBoxes(size_t count, DWORD timeoutMs) const;

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI WatchThread(LPVOID self);
    static BOOL CALLBACK WatchWindow(HWND window, LPARAM self);
    void Catch(HWND box);

    HHOOK m_hook = nullptr;
    int m_button;
    DWORD m_ownThread;
    HANDLE m_hStopWatch = nullptr;
    HANDLE m_hWatcher = nullptr;
    std::set<HWND> m_seen; // watcher thread only
    mutable CRITICAL_SECTION m_lock;
    std::vector<CaughtBox> m_boxes; // guarded by m_lock
};

// Pumps this thread's messages until done() is true, at most timeoutMs;
// returns done() at the end.
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// Finds a top-level window of this process by class and caption (either may
// be null), pumping messages while it waits up to timeoutMs.
HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs);
// Removes the quit request that the main window's tear-down posts.
void DrainQuitMessage();

// Catches the message boxes a test provokes: a CBT hook on the test's thread
// records each box's text, caption and icon as it is activated, then presses
// a chosen button, so the real box is exercised. With BoxThreads::AnyThread a
// watcher thread also catches the boxes of the process's other threads. With
// an inspect callback every dialog of the test's thread is caught, and the
// callback examines it from inside its own modal loop first.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct CaughtBox {
    std::string text, caption;
    std::string icon; // "exclamation", "information", "error", "other" or "none"
};

enum class BoxThreads { ThisThread, AnyThread };

class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(int button = IDOK, BoxThreads threads = BoxThreads::ThisThread,
                               std::function<void(HWND)> inspect = nullptr);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    std::vector<CaughtBox> Boxes() const;                   // in the order they were shown
    void SetButton(int button) { m_button = button; }       // the button pressed from now on
    bool WaitForBoxes(size_t count, DWORD timeoutMs) const; // pumps this thread's messages

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void Watch();
    void Catch(HWND box);

    HHOOK m_hook = nullptr;
    std::atomic<int> m_button;
    DWORD m_ownThread;
    std::function<void(HWND)> m_inspect;
    HANDLE m_hStopWatch = nullptr;
    std::thread m_watcher;
    mutable std::mutex m_lock;
    std::vector<CaughtBox> m_boxes; // guarded by m_lock
};

// Pumps this thread's messages until done() is true, at most timeoutMs; returns done() at the end.
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs)
{
    for (const DWORD start = GetTickCount();; MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return done();
    }
}

// Catches the message boxes a test provokes: a CBT hook on the test's thread
// records each box's text, caption and icon as it is activated, then presses
// a chosen button, so the real box is exercised without a seam in the program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CaughtBox {
    std::string text;
    std::string caption;
    std::string icon; // "exclamation", "information", "question", "error" or "none"
};

class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(int button = IDOK);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<CaughtBox>& Boxes() const { return m_boxes; }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook = nullptr;
    int m_button;
    std::vector<CaughtBox> m_boxes;
};

// Finds a top-level window of this process by class and caption (either may
// be null), pumping messages while it waits up to timeoutMs.
HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs);
// Removes the quit request that the main window's tear-down posts.
void DrainQuitMessage();

// Answers the save-file dialog a test provokes: a CBT hook on the test's
// thread types the chosen name into the real common dialog and presses Save,
// or presses Cancel, and records that the dialog appeared with its title.
#pragma once

#include <windows.h>

#include <string>

class FileDialogAnswer {
public:
    // An empty name cancels the dialog.
    explicit FileDialogAnswer(std::string name);
    ~FileDialogAnswer();
    FileDialogAnswer(const FileDialogAnswer&) = delete;
    FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;

    int Shown() const { return m_shown; }
    const std::string& Title() const { return m_title; }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK Answer(HWND hWnd, UINT, UINT_PTR, DWORD);
    HHOOK m_hook = nullptr;
    std::string m_name;
    std::string m_title;
    int m_shown = 0;
};

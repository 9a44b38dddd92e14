// The main window created from its real template, with its settings folder
// moved to a private temporary folder so that the position file these tests
// read and write is their own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/help_and_mixer.h"
#include "app/position_file.h"
#include "app/startup.h"
#include "app/win_state.h"
#include "message_box_hook.h"
#include "tones/tone_synth.h"

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrepareProcess(GetModuleHandleA(nullptr));
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        m_settings = std::string(temp) + "mirravox-win-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_settings.c_str(), nullptr);
        std::strcpy(g_szSettingsDir, m_settings.c_str());
        DeleteFileA(PositionFile().c_str());

        hWnd = CreateMainWindow();
        ASSERT_NE(hWnd, nullptr) << "error " << GetLastError();
    }

    void TearDown() override
    {
        if (IsWindow(hWnd)) DestroyWindow(hWnd);
        DrainQuitMessage();
        g_bPlaying = 0;
        g_bRecording = 0;
        SetShellOpen(nullptr);
        SetToneAllocator(nullptr);
        FreePlaybackSource();
        DeleteFileA(PositionFile().c_str());
        RemoveDirectoryA(m_settings.c_str());
    }

    std::string PositionFile() const { return m_settings + "\\" + kPositionFileName; }

    void Command(int id, int code = 0) { SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, code), 0); }

    void Select(int id, int index)
    {
        SendDlgItemMessageA(hWnd, id, CB_SETCURSEL, index, 0);
        SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(hWnd, id)));
    }

    std::string Text(int id)
    {
        char buf[256] = "";
        GetDlgItemTextA(hWnd, id, buf, sizeof(buf));
        return buf;
    }

    RECT WindowRect() const
    {
        RECT r = {};
        GetWindowRect(hWnd, &r);
        return r;
    }

    HWND hWnd = nullptr;

private:
    std::string m_settings;
};

// Runs a callback on each dialog (not a message box) of this thread as it
// is activated, then presses a button of it, so a modal dialog can be
// examined from inside its own loop.
class DialogInspector {
public:
    using Callback = void (*)(HWND dialog, void* context);
    DialogInspector(Callback callback, void* context, int button = IDOK)
        : m_callback(callback), m_context(context), m_button(button)
    {
        t_inspector = this;
        m_hook = SetWindowsHookExA(WH_CBT, &HookProc, nullptr, GetCurrentThreadId());
    }
    ~DialogInspector()
    {
        if (m_hook) UnhookWindowsHookEx(m_hook);
        t_inspector = nullptr;
    }
    DialogInspector(const DialogInspector&) = delete;
    DialogInspector& operator=(const DialogInspector&) = delete;
    int Seen() const { return m_seen; }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_ACTIVATE && t_inspector) {
            HWND dialog = reinterpret_cast<HWND>(wParam);
            char cls[64] = "";
            GetClassNameA(dialog, cls, sizeof(cls));
            if (std::strcmp(cls, "#32770") == 0) {
                ++t_inspector->m_seen;
                t_inspector->m_callback(dialog, t_inspector->m_context);
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(t_inspector->m_button, BN_CLICKED), 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline thread_local DialogInspector* t_inspector = nullptr;
    HHOOK m_hook = nullptr;
    Callback m_callback;
    void* m_context;
    int m_button;
    int m_seen = 0;
};

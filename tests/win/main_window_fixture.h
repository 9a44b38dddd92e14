// The main window created from its real template, with a private settings
// folder so that the position file these tests read and write is their own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "app/format_settings.h"
#include "app/position_file.h"
#include "app/startup_win.h"
#include "message_box_hook.h"
#include "resource.h"
#include "shell/help_and_mixer_win.h"
#include "state/app_state.h"
#include "state/win_state_win.h"
#include "tones/tone_synth.h"

inline std::string TempPath(const std::string& name)
{
    char dir[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, dir);
    return dir + name;
}

// The file's bytes, "(missing)" when there is none.
inline std::string FileBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << f.rdbuf();
    return f ? bytes.str() : "(missing)";
}

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        PrepareProcess(GetModuleHandleA(nullptr));
        m_settings = TempPath("mirravox-win-" + std::to_string(GetCurrentProcessId()));
        CreateDirectoryA(m_settings.c_str(), nullptr);
        std::strcpy(g_szSettingsDir, m_settings.c_str());
        DeleteFileA(PositionFile().c_str());
        hWnd = CreateMainWindow();
        ASSERT_NE(hWnd, nullptr) << "error " << GetLastError();
    }

    void TearDown() override
    {
        if (IsWindow(hWnd)) DestroyWindow(hWnd);
        MSG quit; // the quit request the window's tear-down posts
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        g_bPlaying = 0;
        g_bRecording = 0;
        SetShellOpen(nullptr);
        SetPlaybackSourceAllocator(nullptr);
        SetStoreAllocator(nullptr);
        FreePlaybackSource();
        DeleteFileA(PositionFile().c_str());
        RemoveDirectoryA(m_settings.c_str());
    }

    std::string PositionFile() const { return m_settings + "\\" + kPositionFileName; }
    void Command(int id, int code = 0) { SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, code), 0); }
    // Selects a combo item and tells the window, as the user does.
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

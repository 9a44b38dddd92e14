// Save Recording under Wine, timed step by step: the program's real command
// with the real common dialog, answered by a hook that types the name and
// presses Save. Prints, for each run, the time from the press to the
// dialog's window being destroyed, to the command's return (the file
// written), and the time the WAV writer alone takes for the same file.
//   bash scripts/wine-env.sh wine build/mingw/bench/win/save_dialog_timing.exe [runs]
#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/startup_win.h"
#include "state/app_state.h"
#include "tones/save_commands_win.h"
#include "tones/wav_writer.h"

namespace {

LARGE_INTEGER g_frequency;
double Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * double(t.QuadPart) / double(g_frequency.QuadPart);
}

std::string g_name;
HWND g_dialog = nullptr;
double g_pressed = 0, g_shown = 0, g_destroyed = 0;

void CALLBACK PressSave(HWND dialog, UINT, UINT_PTR id, DWORD)
{
    KillTimer(dialog, id);
    HWND edit = GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
    SetWindowTextA(edit, g_name.c_str());
    g_pressed = Now();
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
{
    char cls[64] = "";
    GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof(cls));
    const bool dialog = std::string(cls) == "#32770";
    if (code == HCBT_ACTIVATE && dialog && !g_dialog) {
        g_dialog = reinterpret_cast<HWND>(wParam);
        g_shown = Now();
        SetTimer(g_dialog, 1, 200, &PressSave); // once the dialog has settled
    } else if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == g_dialog) {
        g_destroyed = Now();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    QueryPerformanceFrequency(&g_frequency);
    const int runs = __argc > 1 ? std::atoi(__argv[1]) : 5;
    PrepareProcess(instance);
    HWND hWnd = CreateMainWindow();
    if (!hWnd) return 1;
    // Four seconds of a recording at the default 11025 Hz, 8-bit mono.
    const int bytes = 4 * 11025;
    for (int i = 0; i < bytes; ++i) g_pInputBuffer[i] = static_cast<uint8_t>(128 + (i % 64));
    g_nRecordedBytes = bytes;

    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    g_name = std::string(temp) + "mirravox-save-timing.wav";
    HHOOK hook = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    std::printf("run  shown->press  press->dialog destroyed  press->file written  writer alone (ms)\n");
    for (int run = 1; run <= runs; ++run) {
        DeleteFileA(g_name.c_str());
        g_dialog = nullptr;
        const double start = Now();
        SaveRecording(hWnd);
        const double returned = Now();
        const double writeStart = Now();
        WriteWavFile(g_name.c_str(), false);
        const double written = Now();
        std::printf("%3d  %8.1f  %12.1f  %20.1f  %12.2f   (command opened the dialog in %.1f)\n", run,
                    g_pressed - g_shown, g_destroyed - g_pressed, returned - g_pressed, written - writeStart,
                    g_shown - start);
    }
    UnhookWindowsHookEx(hook);
    DeleteFileA(g_name.c_str());
    DestroyWindow(hWnd);
    return 0;
}

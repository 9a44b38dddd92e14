#include "shell/help_and_mixer_win.h"

#include <shellapi.h>

#include "shell/message_boxes_win.h"
#include "state/program_paths.h"

namespace {

constexpr INT_PTR kShellSuccessAbove = 32;

INT_PTR ShellOpen(HWND hOwner, const char* file, const char* folder, int showMode)
{
    return reinterpret_cast<INT_PTR>(ShellExecuteA(hOwner, "open", file, nullptr, folder, showMode));
}

ShellOpenFn g_pfnShellOpen = &ShellOpen;

} // namespace

void SetShellOpen(ShellOpenFn fn) { g_pfnShellOpen = fn ? fn : &ShellOpen; }

void ShowHelpPage(HWND hOwner, const char* page)
{
    char program[300] = "";
    const DWORD n = GetModuleFileNameA(nullptr, program, sizeof(program));
    if (n == 0 || n >= sizeof(program)) return;
    char path[300 + 64];
    if (!HelpPagePath(path, sizeof(path), program, page)) return;
    g_pfnShellOpen(hOwner, path, nullptr, SW_SHOWNORMAL);
}

void LaunchMixer(HWND hOwner)
{
    for (const char* mixer : kMixerPrograms)
        if (g_pfnShellOpen(hOwner, mixer, g_szProgramDir, SW_SHOWMAXIMIZED) > kShellSuccessAbove) return;
    ShowMessageBox(hOwner, MessageBoxId::MixerFailed);
}

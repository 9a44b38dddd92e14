#include "app/help_and_mixer.h"

#include <shellapi.h>

#include <initializer_list>

#include "app/app_state.h"
#include "app/help_path.h"

const char kMixerFailedText[] =
    "Could not open the windows mixer (Volume control).\nOpen the volume control manually from the task bar\n"
    "or from the Start menu\n";
const char kMixerFailedCaption[] = "Could not open mixer";

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
    // The mixer's name changed with Windows Vista; the older one comes first.
    for (const char* mixer : {"sndvol32.exe", "sndvol.exe"})
        if (g_pfnShellOpen(hOwner, mixer, g_szProgramDir, SW_SHOWMAXIMIZED) > kShellSuccessAbove) return;
    MessageBoxA(hOwner, kMixerFailedText, kMixerFailedCaption, MB_OK);
}

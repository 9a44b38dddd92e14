#include "app/window_position.h"

#include <windows.h>

#include <cstring>

#include "app/app_state.h"

namespace {

constexpr int kCommonAppData = 35;    // the application-data folder shared by all users
constexpr DWORD kFolderCurrent = 0;   // the folder's current path

void AppendLevel(char* folder, const char* level)
{
    const size_t used = std::strlen(folder);
    if (used + 1 + std::strlen(level) + 1 > static_cast<size_t>(kMaxPathChars)) return;
    std::strcat(folder, "\\");
    std::strcat(folder, level);
    CreateDirectoryA(folder, nullptr); // an existing folder is fine; failures are ignored
}

} // namespace

void BuildSettingsFolder(char* folder)
{
    // Looked up at run time: the folder service is missing on old systems.
    if (HMODULE shell = LoadLibraryA("shell32.dll")) {
        using GetFolderFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
        auto getFolder = reinterpret_cast<GetFolderFn>(
            reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathA")));
        if (getFolder) getFolder(nullptr, kCommonAppData, nullptr, kFolderCurrent, folder);
        FreeLibrary(shell);
    }
    AppendLevel(folder, "Keldane");
    AppendLevel(folder, "Keldane Mirravox");
}

// Stand-ins until the position file is read and written: the window keeps
// the template's position and nothing is saved.
int LoadWindowPosition() { return 0; }
int SaveWindowPosition() { return 0; }

#include "app/position_file_win.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/position_file.h"
#include "platform/replacing_file.h"
#include "state/win_state_win.h"

namespace {

constexpr int kCommonAppData = 35;  // the application-data folder shared by all users
constexpr DWORD kFolderCurrent = 0; // the folder's current path

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
        auto getFolder =
            reinterpret_cast<GetFolderFn>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathA")));
        if (getFolder) getFolder(nullptr, kCommonAppData, nullptr, kFolderCurrent, folder);
        FreeLibrary(shell);
    }
    AppendLevel(folder, "Keldane");
    AppendLevel(folder, "Keldane Mirravox");
}

int LoadWindowPosition()
{
    char path[kMaxPathChars + 32];
    if (!PositionFilePath(path, sizeof(path), g_szSettingsDir)) return 0;
    std::FILE* file = std::fopen(path, "rt");
    if (!file) return 0;
    // Only the first two lines count, and a line is read in pieces of at most
    // kPositionLineChars characters.
    char text[2 * kPositionLineChars];
    const size_t size = std::fread(text, 1, sizeof(text), file);
    std::fclose(file);

    const PositionReading reading = ReadPositionText(text, size);
    if (reading.bPlace && PlacementFitsScreen(reading.placement, GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                              GetSystemMetrics(SM_CYVIRTUALSCREEN))) {
        const WindowPlacement& p = reading.placement;
        SetWindowPos(g_hMainWnd, nullptr, p.nLeft, p.nTop, p.nWidth, p.nHeight, SWP_NOZORDER);
    }
    return 1;
}

int SaveWindowPosition()
{
    char path[kMaxPathChars + 32];
    if (!PositionFilePath(path, sizeof(path), g_szSettingsDir)) return 0;
    // Written beside the old file and put in its place when complete, so a
    // crash or a full disk during the write never leaves a half-written file.
    ReplacingFile file(path, "wt");
    if (!file.IsOpen()) return 0;
    // A maximised or minimised window leaves the file empty, so the next
    // start keeps the template's position.
    RECT r;
    if (!IsZoomed(g_hMainWnd) && !IsIconic(g_hMainWnd) && GetWindowRect(g_hMainWnd, &r)) {
        char text[96];
        const int n = FormatPositionText(text, sizeof(text), {r.left, r.top, r.right - r.left, r.bottom - r.top});
        if (n > 0) file.Write(text, static_cast<size_t>(n));
    }
    return file.Commit() == ReplacingFile::Outcome::Replaced ? 1 : 0;
}

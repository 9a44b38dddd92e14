#include "dxtests/dx_text_win.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

char s_szMediaPath[MAX_PATH];

} // namespace

const char* GetDXMediaPath()
{
    s_szMediaPath[0] = '\0';
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX SDK", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return s_szMediaPath;
    }
    DWORD type = 0;
    DWORD bytes = sizeof s_szMediaPath;
    LONG read =
        RegQueryValueExA(key, "DX81SDK Samples Path", nullptr, &type, reinterpret_cast<BYTE*>(s_szMediaPath), &bytes);
    RegCloseKey(key);
    static const char kMedia[] = "\\Media\\";
    // The value's type is ignored, so its text may come without an end.
    size_t length = read == ERROR_SUCCESS ? strnlen(s_szMediaPath, bytes) : 0;
    if (read != ERROR_SUCCESS || length + sizeof kMedia > sizeof s_szMediaPath) {
        s_szMediaPath[0] = '\0';
        return s_szMediaPath;
    }
    std::memcpy(s_szMediaPath + length, kMedia, sizeof kMedia);
    return s_szMediaPath;
}

void AnsiToWide(WCHAR* dest, const char* src, DWORD budget)
{
    if (!dest || !src || budget == 0) return;
    if (budget == 0xFFFFFFFFu) budget = static_cast<DWORD>(std::strlen(src) + 1);
    int room = static_cast<int>(budget - 1);
    if (room > 0 && MultiByteToWideChar(CP_ACP, 0, src, -1, dest, room) == 0) {
        // Too long for the budget: keep its first budget - 1 characters.
        int needed = MultiByteToWideChar(CP_ACP, 0, src, -1, nullptr, 0);
        std::vector<WCHAR> whole(needed > 0 ? needed : 1, 0);
        MultiByteToWideChar(CP_ACP, 0, src, -1, whole.data(), static_cast<int>(whole.size()));
        std::memcpy(dest, whole.data(), sizeof(WCHAR) * std::min<size_t>(room, whole.size()));
    }
    dest[budget - 1] = 0;
}

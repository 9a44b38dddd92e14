#include "driver.h"

#include <cstdio>
#include <cstring>

namespace {

std::string ExeFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (char* slash = std::strrchr(path, '\\')) *slash = '\0';
    return path;
}

struct FindData {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMirravoxWindow(HWND hWnd, LPARAM lParam)
{
    auto* data = reinterpret_cast<FindData*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char cls[64] = "";
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (pid == data->pid && std::strcmp(cls, "Mirravox") == 0 && IsWindowVisible(hWnd)) {
        data->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

struct FindDialogData {
    DWORD pid;
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindDialogWindow(HWND hWnd, LPARAM lParam)
{
    auto* data = reinterpret_cast<FindDialogData*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char cls[64] = "";
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (pid == data->pid && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(hWnd) &&
        WindowText(hWnd) == data->caption) {
        data->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::string ProgramPath() { return ExeFolder() + "\\..\\..\\mirravox.exe"; }

std::string ArtefactFolder()
{
    std::string folder = ExeFolder() + "\\artefacts";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

MirravoxProcess::MirravoxProcess(const std::string& args)
{
    std::string command = "\"" + ProgramPath() + "\"";
    if (!args.empty()) command += " " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_info))
        m_info = {};
}

MirravoxProcess::~MirravoxProcess()
{
    if (!m_info.hProcess) return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        if (m_hWnd && IsWindow(m_hWnd)) PostMessageA(m_hWnd, WM_COMMAND, 40004, 0); // File > Exit
        if (WaitForSingleObject(m_info.hProcess, 10000) == WAIT_TIMEOUT) TerminateProcess(m_info.hProcess, 1);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool MirravoxProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(m_info.hProcess, exitCode);
    return true;
}

HWND MirravoxProcess::WaitForMainWindow(DWORD timeoutMs)
{
    WaitForInputIdle(m_info.hProcess, timeoutMs);
    const DWORD start = GetTickCount();
    do {
        FindData data = {m_info.dwProcessId, nullptr};
        EnumWindows(&FindMirravoxWindow, reinterpret_cast<LPARAM>(&data));
        if (data.found) return m_hWnd = data.found;
    } while (WaitForSingleObject(m_info.hProcess, 50) == WAIT_TIMEOUT && GetTickCount() - start < timeoutMs);
    return nullptr;
}

HWND MirravoxProcess::WaitForDialog(const char* caption, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        FindDialogData data = {m_info.dwProcessId, caption, nullptr};
        EnumWindows(&FindDialogWindow, reinterpret_cast<LPARAM>(&data));
        if (data.found) return data.found;
    } while (WaitForSingleObject(m_info.hProcess, 50) == WAIT_TIMEOUT && GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::string WindowText(HWND hWnd)
{
    wchar_t wide[512] = L"";
    SendMessageW(hWnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide));
    char buf[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof(buf), nullptr, nullptr);
    return buf;
}

void Command(HWND hWnd, int id) { SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void SelectComboItem(HWND hWnd, int id, int index)
{
    HWND combo = GetDlgItem(hWnd, id);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void TypeText(HWND control, const std::string& text)
{
    std::wstring wide(text.begin(), text.end());
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string ControlText(HWND hWnd, int id)
{
    // The wide form: across processes the narrow one may return wide text.
    return WindowText(GetDlgItem(hWnd, id));
}

COLORREF Screenshot::At(int x, int y) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(pixels.data()) + (static_cast<size_t>(y) * width + x) * 4;
    return RGB(p[2], p[1], p[0]);
}

bool Screenshot::SaveBmp(const std::string& path) const
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string opaque = pixels; // GDI leaves the fourth byte 0; viewers read it as alpha
    for (size_t i = 3; i < opaque.size(); i += 4) opaque[i] = static_cast<char>(0xFF);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&file, sizeof(file), 1, f) == 1 && std::fwrite(&info, sizeof(info), 1, f) == 1 &&
              std::fwrite(opaque.data(), 1, opaque.size(), f) == opaque.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

Screenshot CaptureWindow(HWND hWnd)
{
    Screenshot shot;
    RECT r;
    GetWindowRect(hWnd, &r);
    shot.width = r.right - r.left;
    shot.height = r.bottom - r.top;
    // The window's own DC: under Wine each window has its own surface, which
    // the desktop's DC does not show.
    HDC screen = GetWindowDC(hWnd);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    shot.pixels.assign(static_cast<const char*>(bits), static_cast<size_t>(shot.width) * shot.height * 4);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hWnd, screen);
    return shot;
}

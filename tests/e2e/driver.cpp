#include "driver.h"

#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include <dlgs.h>

#include "resource.h"

namespace {

std::string ExeFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (char* slash = std::strrchr(path, '\\')) *slash = '\0';
    return path;
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
    BITMAPINFO info = {{sizeof(info.bmiHeader), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
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

void SaveBmp(const Screenshot& shot, const std::string& path)
{
    BITMAPINFOHEADER info = {sizeof(info), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof(file) + sizeof(info)};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(shot.pixels.size());
    std::string opaque = shot.pixels; // GDI leaves the fourth byte 0; viewers read it as alpha
    for (size_t i = 3; i < opaque.size(); i += 4) opaque[i] = static_cast<char>(0xFF);
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(&file), sizeof(file))
        .write(reinterpret_cast<const char*>(&info), sizeof(info));
    f.write(opaque.data(), std::streamsize(opaque.size()));
}

} // namespace

std::string ProgramPath() { return ExeFolder() + "\\..\\..\\mirravox.exe"; }

std::string Artefact(const std::string& name)
{
    const std::string folder = ExeFolder() + "\\artefacts";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + name;
}

std::string PositionFile()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Keldane\\Keldane Mirravox\\mirravox.ini";
}

MirravoxProcess::MirravoxProcess(const std::string& args, const std::string& program)
{
    std::string command = "\"" + program + "\"";
    if (!args.empty()) command += " " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_info)) m_info = {};
}

MirravoxProcess::~MirravoxProcess()
{
    if (!m_info.hProcess) return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        if (m_hWnd && IsWindow(m_hWnd)) PostMessageA(m_hWnd, WM_COMMAND, IDM_EXIT, 0);
        if (WaitForSingleObject(m_info.hProcess, 10000) == WAIT_TIMEOUT) TerminateProcess(m_info.hProcess, 1);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool MirravoxProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!m_info.hProcess || WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(m_info.hProcess, exitCode);
    return true;
}

HWND MirravoxProcess::WaitForWindow(const char* cls, const char* caption, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, cls, nullptr)) != nullptr;) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == m_info.dwProcessId && IsWindowVisible(w) && (!caption || WindowText(w) == caption))
                    return (found = w) != nullptr;
            }
            return false;
        },
        timeoutMs);
    return found;
}

HWND MirravoxProcess::WaitForDialog(const char* caption, DWORD timeoutMs)
{
    return WaitForWindow("#32770", caption, timeoutMs);
}

HWND MirravoxProcess::WaitForMainWindow(DWORD timeoutMs)
{
    WaitForInputIdle(m_info.hProcess, timeoutMs);
    return m_hWnd = WaitForWindow("Mirravox", nullptr, timeoutMs);
}

HWND MirravoxProcess::OpenDialog(int command, const char* caption)
{
    PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return WaitForDialog(caption, 10000);
}

bool MirravoxProcess::Exit()
{
    PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    DWORD code = 1234;
    return WaitForExit(10000, &code) && code == 0;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    // Another process's windows signal nothing to this one: look again every 20 ms.
    for (const DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start > timeoutMs) return done();
    return true;
}

bool WaitGone(HWND window)
{
    return WaitUntil([window] { return !IsWindow(window); }, 10000);
}

DWORD RunAndWait(std::string commandLine, DWORD timeoutMs, HANDLE output)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    if (output) si.dwFlags = STARTF_USESTDHANDLES, si.hStdOutput = si.hStdError = output;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, output != nullptr, 0, nullptr, nullptr, &si, &pi))
        return ~0u;
    DWORD code = ~0u;
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << f.rdbuf();
    return f ? bytes.str() : "(missing)";
}

// The wide form: across processes the narrow one may return wide text.
std::string WindowText(HWND hWnd)
{
    wchar_t wide[512] = L"";
    SendMessageW(hWnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide));
    char buf[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof(buf), nullptr, nullptr);
    return buf;
}

std::string ControlText(HWND hWnd, int id) { return WindowText(GetDlgItem(hWnd, id)); }

RECT InWindow(HWND window, int id)
{
    RECT w, c;
    GetWindowRect(window, &w);
    GetWindowRect(GetDlgItem(window, id), &c);
    OffsetRect(&c, -w.left, -w.top);
    return c;
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

std::vector<uint8_t> SaveAs(MirravoxProcess& program, const std::string& path)
{
    DeleteFileA(path.c_str());
    HWND dialog = program.WaitForDialog("Save wav file", 10000);
    if (!dialog) return {};
    TypeText(GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1), path);
    PressButton(dialog, IDOK);
    std::vector<uint8_t> file;
    WaitUntil( // complete when the RIFF size holds
        [&] {
            const std::string bytes = FileBytes(path);
            file.assign(bytes.begin(), bytes.end());
            uint32_t riff = 0; // little-endian, as this machine
            if (file.size() >= 12) std::memcpy(&riff, &file[4], 4);
            return file.size() >= 12 && riff + 8 == file.size();
        },
        10000);
    return file;
}

std::vector<uint8_t> SaveRecordingAs(MirravoxProcess& program, HWND hWnd, const std::string& path)
{
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_SAVE_RECORDING, 0), 0);
    return SaveAs(program, path);
}

COLORREF Screenshot::At(int x, int y) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(pixels.data()) + (static_cast<size_t>(y) * width + x) * 4;
    return RGB(p[2], p[1], p[0]);
}

int Screenshot::Differing(const RECT& r) const
{
    int differing = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) differing += At(x, y) != At(r.left, r.top);
    return differing;
}

Screenshot KeepShot(HWND hWnd, const std::string& name, const std::function<bool(const Screenshot&)>& drawn)
{
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Screenshot shot;
    WaitUntil([&] { return shot = CaptureWindow(hWnd), shot.width > 0 && (!drawn || drawn(shot)); }, 10000);
    SaveBmp(shot, Artefact(name));
    return shot;
}

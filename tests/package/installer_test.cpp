// The installer under Wine: a silent install for every user of the machine,
// the program started from its Start-menu shortcut, and a silent uninstall
// that leaves nothing of it behind but its settings folder.
#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "product_version.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" MIRRAVOX_PRODUCT_NAME;

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH] = "";
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string BuildFolder()
{
    const std::string program = FullPath(ProgramPath());
    return program.substr(0, program.rfind('\\'));
}

std::string KnownFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A text of the program's entry in the list of programs; "(none)" when absent.
std::string Registered(const char* name)
{
    char value[1024] = "";
    DWORD bytes = sizeof(value);
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, value,
                     &bytes) != ERROR_SUCCESS)
        return "(none)";
    return value;
}

bool IsRegistered()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Runs a command line and waits for it to end; its exit code, or ~0u.
DWORD RunAndWait(std::string commandLine, DWORD timeoutMs)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return ~0u;
    DWORD code = ~0u;
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

// The files below a folder, as paths relative to it.
void FilesBelow(const std::string& folder, const std::string& relative, std::vector<std::string>* files)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + relative + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            FilesBelow(folder, relative + name + "\\", files);
        else
            files->push_back(relative + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

struct Shortcut {
    std::string target, iconFile;
    int iconIndex = -1;
};

Shortcut ReadShortcut(const std::string& path)
{
    Shortcut shortcut;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return shortcut;
    IPersistFile* file = nullptr;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[MAX_PATH] = "";
        if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0))) shortcut.target = text;
        text[0] = '\0';
        if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &shortcut.iconIndex))) shortcut.iconFile = text;
    }
    if (file) file->Release();
    link->Release();
    return shortcut;
}

// The colour pixels of an icon, 32 bits each.
std::string IconPixels(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return "(no icon)";
    BITMAP size = {};
    GetObjectA(info.hbmColor, sizeof(size), &size);
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::string pixels(size_t(size.bmWidth) * size.bmHeight * 4, '\0');
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, size.bmHeight, &pixels[0], &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

// The program's icon as it would show on a shortcut to the program file.
std::string ProgramIconPixels(const std::string& program)
{
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    auto icon = static_cast<HICON>(
        LoadImageA(module, "MIRRAVOX", IMAGE_ICON, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    std::string pixels = IconPixels(icon);
    if (icon) DestroyIcon(icon);
    if (module) FreeLibrary(module);
    return pixels;
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        // What an earlier run that stopped half way left behind.
        if (IsRegistered()) RunAndWait(Registered("UninstallString") + " /S", 30000);
        WaitUntil([&] { return !Exists(m_folder) && !IsRegistered(); }, 30000);
    }
    void TearDown() override { CoUninitialize(); }

    const std::string m_setup = BuildFolder() + "\\mirravox-" MIRRAVOX_VERSION_TEXT "-setup.exe";
    const std::string m_package = BuildFolder() + "\\package\\mirravox-" MIRRAVOX_VERSION_TEXT;
    const std::string m_folder = KnownFolder(CSIDL_PROGRAM_FILES) + "\\" MIRRAVOX_PRODUCT_NAME;
    const std::string m_shortcut = KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\" MIRRAVOX_PRODUCT_NAME ".lnk";
};

TEST_F(Installer, SilentInstallShortcutStartsTheProgramSilentUninstallRemovesIt)
{
    ASSERT_TRUE(Exists(m_setup)) << m_setup << ": build the target package-installer";
    ASSERT_EQ(RunAndWait("\"" + m_setup + "\" /S", 60000), 0u);

    // Every file of the package, byte for byte, in Program Files, and the uninstaller.
    std::vector<std::string> files;
    FilesBelow(m_package, "", &files);
    ASSERT_FALSE(files.empty()) << m_package;
    EXPECT_NE(std::find(files.begin(), files.end(), "help\\html\\index.html"), files.end());
    for (const std::string& f : files)
        EXPECT_TRUE(FileBytes(m_folder + "\\" + f) == FileBytes(m_package + "\\" + f))
            << f << " not installed as packed";
    EXPECT_TRUE(Exists(m_folder + "\\uninstall.exe"));

    // The entry in the list of programs.
    const std::string program = m_folder + "\\mirravox.exe";
    EXPECT_EQ(Registered("DisplayName"), MIRRAVOX_PRODUCT_NAME);
    EXPECT_EQ(Registered("DisplayVersion"), MIRRAVOX_FILE_VERSION_TEXT);
    EXPECT_EQ(Registered("Publisher"), MIRRAVOX_COMPANY);
    EXPECT_EQ(Registered("DisplayIcon"), program + ",0");
    EXPECT_EQ(Registered("InstallLocation"), m_folder);
    EXPECT_EQ(Registered("UninstallString"), "\"" + m_folder + "\\uninstall.exe\"");

    // The Start-menu shortcut: the program, with the program's icon.
    const Shortcut shortcut = ReadShortcut(m_shortcut);
    ASSERT_EQ(Lower(shortcut.target), Lower(program)) << m_shortcut;
    EXPECT_EQ(Lower(shortcut.iconFile), Lower(program));
    HICON shown = ExtractIconA(GetModuleHandleA(nullptr), shortcut.iconFile.c_str(), UINT(shortcut.iconIndex));
    EXPECT_EQ(IconPixels(shown), ProgramIconPixels(program)) << "the shortcut shows another icon";
    if (shown) DestroyIcon(shown);

    {
        MirravoxProcess started("", shortcut.target);
        ASSERT_TRUE(started.Started()) << shortcut.target;
        HWND hWnd = started.WaitForMainWindow(15000);
        ASSERT_NE(hWnd, nullptr) << "the installed program shows no window";
        EXPECT_EQ(WindowText(hWnd), MIRRAVOX_PRODUCT_NAME);
        EXPECT_TRUE(started.Exit());
    }

    // The uninstaller copies itself to the temporary folder and removes the
    // program from there, after the copy that was started has ended.
    ASSERT_EQ(RunAndWait(Registered("UninstallString") + " /S", 60000), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(m_folder) && !IsRegistered(); }, 30000))
        << m_folder << (Exists(m_folder) ? " is still there" : "") << (IsRegistered() ? "; still registered" : "");
    EXPECT_FALSE(Exists(m_shortcut));
}

} // namespace

// The installer under Wine: a silent install for every user of the machine,
// the program started from its Start-menu shortcut, and a silent uninstall
// that leaves nothing of it behind but its settings folder.
#include <windows.h>

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <filesystem>
#include <string>

#include "driver.h"
#include "product_version.h"

namespace {

namespace fs = std::filesystem;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" MIRRAVOX_PRODUCT_NAME;

std::string Lower(std::string text)
{
    CharLowerA(&text[0]);
    return text;
}

std::string KnownFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// A text of the program's entry in the list of programs; "(none)" when absent.
std::string Registered(const char* name)
{
    char value[1024] = "";
    DWORD bytes = sizeof(value);
    return RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, value,
                        &bytes) == ERROR_SUCCESS
               ? value
               : "(none)";
}

bool IsRegistered() { return Registered("UninstallString") != "(none)"; }

// A shortcut's target and icon, "target; icon file,index" in lower case.
std::string ShortcutText(const std::string& path)
{
    std::string text = "(unreadable)";
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    const std::wstring wide(path.begin(), path.end());
    char target[MAX_PATH] = "", icon[MAX_PATH] = "";
    int index = -1;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) && SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
        SUCCEEDED(link->GetIconLocation(icon, MAX_PATH, &index)))
        text = std::string(target) + "; " + icon + "," + std::to_string(index);
    if (file) file->Release();
    if (link) link->Release();
    return Lower(text);
}

// The name of a program's first icon: the one a shortcut's icon index 0 shows.
std::string FirstIconName(const std::string& program)
{
    std::string first = "(none)";
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    auto keep = [](HMODULE, LPCSTR, LPSTR name, LONG_PTR first) {
        *reinterpret_cast<std::string*>(first) = IS_INTRESOURCE(name) ? "#" + std::to_string(ULONG_PTR(name)) : name;
        return FALSE;
    };
    EnumResourceNamesA(module, RT_GROUP_ICON, keep, reinterpret_cast<LONG_PTR>(&first));
    if (module) FreeLibrary(module);
    return first;
}

TEST(Installer, SilentInstallShortcutStartsTheProgramSilentUninstallRemovesIt)
{
    CoInitialize(nullptr); // for the shortcut's shell link
    const std::string build = ProgramPath().substr(0, ProgramPath().rfind('\\'));
    const std::string folder = KnownFolder(CSIDL_PROGRAM_FILES) + "\\" MIRRAVOX_PRODUCT_NAME;
    const std::string shortcut = KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\" MIRRAVOX_PRODUCT_NAME ".lnk";
    // What an earlier run that stopped half way left behind.
    if (IsRegistered()) RunAndWait(Registered("UninstallString") + " /S", 30000);
    WaitUntil([&] { return !fs::exists(folder) && !IsRegistered(); }, 30000);

    const std::string setup = build + "\\mirravox-" MIRRAVOX_VERSION_TEXT "-setup.exe";
    ASSERT_TRUE(fs::exists(setup)) << setup << ": build the target package-installer";
    ASSERT_EQ(RunAndWait("\"" + setup + "\" /S", 60000), 0u);

    // Every file of the package, byte for byte, in Program Files, and the uninstaller.
    const std::string package = build + "\\package\\mirravox-" MIRRAVOX_VERSION_TEXT;
    int files = 0;
    for (const auto& f : fs::recursive_directory_iterator(package)) {
        if (!f.is_regular_file()) continue;
        const std::string inside = fs::relative(f.path(), package).string();
        EXPECT_TRUE(FileBytes(folder + "\\" + inside) == FileBytes(f.path().string())) << inside << " not installed";
        ++files;
    }
    EXPECT_EQ(files, 8) << package << ": the program, three help pages, two content files, readme, licence";
    EXPECT_TRUE(fs::exists(folder + "\\uninstall.exe"));

    // The entry in the list of programs.
    const std::string program = folder + "\\mirravox.exe";
    const struct {
        const char* name;
        std::string value;
    } kEntry[] = {{"DisplayName", MIRRAVOX_PRODUCT_NAME},
                  {"DisplayVersion", MIRRAVOX_FILE_VERSION_TEXT},
                  {"Publisher", MIRRAVOX_COMPANY},
                  {"DisplayIcon", program + ",0"},
                  {"InstallLocation", folder},
                  {"UninstallString", "\"" + folder + "\\uninstall.exe\""}};
    for (const auto& e : kEntry) EXPECT_EQ(Registered(e.name), e.value) << e.name;

    // The Start-menu shortcut: the program, with the program's icon.
    ASSERT_EQ(ShortcutText(shortcut), Lower(program + "; " + program + ",0")) << shortcut;
    EXPECT_EQ(FirstIconName(program), "MIRRAVOX") << "the shortcut shows another icon than the program's";
    {
        MirravoxProcess started("", program);
        HWND hWnd = started.WaitForMainWindow(15000);
        ASSERT_NE(hWnd, nullptr) << program << " shows no window";
        EXPECT_EQ(WindowText(hWnd), MIRRAVOX_PRODUCT_NAME);
        EXPECT_TRUE(started.Exit());
    }

    // The uninstaller copies itself to the temporary folder and removes the
    // program from there, after the copy that was started has ended: on a
    // loaded machine that can take more than 30 s under Wine.
    ASSERT_EQ(RunAndWait(Registered("UninstallString") + " /S", 60000), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(folder) && !IsRegistered(); }, 90000))
        << folder << (fs::exists(folder) ? " is still there" : "") << (IsRegistered() ? "; still registered" : "");
    EXPECT_FALSE(fs::exists(shortcut));
}

} // namespace

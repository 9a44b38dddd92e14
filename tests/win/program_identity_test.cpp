// What the program tells the system about itself: its version resource
// agrees with the About box, and its embedded manifest takes effect. This
// test program carries the same resources as mirravox.exe.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "state/program_paths.h"

namespace {

std::string BuiltProgram()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    *std::strrchr(path, '\\') = '\0';
    return std::string(path) + "\\..\\..\\mirravox.exe";
}

std::string VersionString(const std::vector<char>& info, const char* name)
{
    char* value = nullptr;
    UINT chars = 0;
    const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars)) return "(none)";
    return value;
}

// An entry point that this system may lack: null when it has none.
template <typename Function>
Function EntryPoint(const char* module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(module), name)));
}

TEST(VersionResource, ProductMakerVersionAndBuildAreTheAboutBoxs)
{
    const std::string program = BuiltProgram();
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(program.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << program << " has no version resource";
    ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, DWORD(info.size()), info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    char numbers[64];
    std::snprintf(numbers, sizeof(numbers), "V%u.%u Build: %u", unsigned(HIWORD(fixed->dwFileVersionMS)),
                  unsigned(LOWORD(fixed->dwFileVersionMS)), unsigned(LOWORD(fixed->dwFileVersionLS)));
    EXPECT_EQ(numbers, std::string(kProductVersion) + " Build: " + kProductBuild);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    char line[128] = "";
    ASSERT_GT(FormatVersionLine(line, sizeof(line)), 0);
    EXPECT_EQ(VersionString(info, "ProductName") + " " + VersionString(info, "ProductVersion"), line);
    EXPECT_EQ(VersionString(info, "ProductName"), g_szTitle);
    EXPECT_EQ(VersionString(info, "LegalCopyright"), kAboutNotice);
    EXPECT_NE(std::string(kAboutNotice).find(VersionString(info, "CompanyName")), std::string::npos);
    EXPECT_EQ(VersionString(info, "OriginalFilename"), "mirravox.exe");
}

TEST(Manifest, CommonControlsSixAndDpiAwarenessTakeEffect)
{
    // The program's manifest is this test program's: the same resource.
    const std::string program = BuiltProgram();
    HMODULE exe = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    auto text = [](HMODULE module) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)); // RT_MANIFEST
        if (!found) return std::string("(none)");
        return std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                           SizeofResource(module, found));
    };
    const std::string manifest = text(exe);
    FreeLibrary(exe);
    EXPECT_EQ(manifest, text(GetModuleHandleA(nullptr)));
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);

    // Common controls 6 are the side-by-side assembly's, never the system
    // folder's version 5 (Wine's answers 5.81 to DllGetVersion in both).
    char comctl[MAX_PATH] = "";
    ASSERT_GT(GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), comctl, MAX_PATH), 0u);
    CharLowerA(comctl);
    EXPECT_NE(std::string(comctl).find("\\winsxs\\"), std::string::npos) << comctl;
    EXPECT_NE(std::string(comctl).find("common-controls_6595b64144ccf1df_6."), std::string::npos) << comctl;

    // Where the system has per-monitor awareness in its second version, the
    // process has it; otherwise it is at least system-aware. (Wine has the
    // first version only, and makes every process aware.)
    using AreEqual = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
    using ThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
    using IsValid = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    using Awareness = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
    auto areEqual = EntryPoint<AreEqual>("user32.dll", "AreDpiAwarenessContextsEqual");
    auto threadContext = EntryPoint<ThreadContext>("user32.dll", "GetThreadDpiAwarenessContext");
    auto isValid = EntryPoint<IsValid>("user32.dll", "IsValidDpiAwarenessContext");
    auto awareness = EntryPoint<Awareness>("user32.dll", "GetAwarenessFromDpiAwarenessContext");
    if (!areEqual || !threadContext || !isValid || !awareness) {
        EXPECT_TRUE(IsProcessDPIAware());
        return;
    }
    if (isValid(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        EXPECT_TRUE(areEqual(threadContext(), DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2));
    else
        EXPECT_GE(awareness(threadContext()), DPI_AWARENESS_SYSTEM_AWARE);
}

} // namespace

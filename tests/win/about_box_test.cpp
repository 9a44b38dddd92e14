// The About box, and what the program tells the system about itself: its
// version resource agrees with the About box and its embedded manifest takes
// effect. This test program carries the same resources as mirravox.exe.
#include <cstdio>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/about_box_win.h"
#include "main_window_fixture.h"

namespace {

using AboutBox = MainWindowFixture;

// Both commands open it, centred over the main window (kept on the screen: DialogCentring).
TEST_F(AboutBox, ShowsNoticeAddressAndVersionCentredOverTheMainWindow)
{
    SetWindowPos(hWnd, nullptr, 100, 50, 700, 520, SWP_NOZORDER);
    const RECT main = WindowRect();
    for (int id : {IDM_ABOUT, IDC_ALT_ABOUT}) {
        std::string texts;
        RECT box = {};
        MessageBoxCatcher inspector(IDCANCEL, BoxThreads::ThisThread, [&](HWND dialog) {
            for (int item : {IDC_ABOUT_NOTICE, IDC_ABOUT_VISIT, IDC_ABOUT_WEB, IDC_ABOUT_VERSION, IDOK}) {
                char buf[256] = "";
                GetDlgItemTextA(dialog, item, buf, sizeof(buf));
                texts += std::string(buf) + "|";
            }
            GetWindowRect(dialog, &box);
        });
        Command(id);
        ASSERT_EQ(inspector.Boxes().size(), 1u);
        EXPECT_EQ(inspector.Boxes()[0].caption, "Keldane Mirravox");
        EXPECT_EQ(texts, "Copyright (C) 2026 Keldane Audio Tools|Visit us at:|www.keldane.example|"
                         "Keldane Mirravox V3.0 Build: 1003|OK|");
        EXPECT_EQ(box.left, main.left + (main.right - main.left - (box.right - box.left)) / 2);
        EXPECT_EQ(box.top, main.top + (main.bottom - main.top - (box.bottom - box.top)) / 2);
    }
    EXPECT_TRUE(IsWindow(hWnd)) << "Cancel closes the box only";
}

std::string BuiltProgram()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path).substr(0, std::string(path).rfind('\\')) + "\\..\\..\\mirravox.exe";
}

TEST(VersionResource, ProductMakerVersionAndBuildAreTheAboutBoxs)
{
    const std::string program = BuiltProgram();
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(program.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << program << " has no version resource";
    ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, DWORD(info.size()), info.data()));
    auto value = [&](const char* name) -> std::string {
        char* text = nullptr;
        UINT chars = 0;
        const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
        return VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &chars) ? text : "(none)";
    };
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    char numbers[64];
    std::snprintf(numbers, sizeof(numbers), "V%u.%u Build: %u", unsigned(HIWORD(fixed->dwFileVersionMS)),
                  unsigned(LOWORD(fixed->dwFileVersionMS)), unsigned(LOWORD(fixed->dwFileVersionLS)));
    EXPECT_EQ(numbers, std::string(kProductVersion) + " Build: " + kProductBuild);
    char line[128] = "";
    ASSERT_GT(FormatVersionLine(line, sizeof(line)), 0);
    EXPECT_EQ((std::vector<std::string>{value("ProductName") + " " + value("ProductVersion"), value("LegalCopyright")}),
              (std::vector<std::string>{line, kAboutNotice}));
}

TEST(Manifest, CommonControlsSixTakeEffectAndDpiAwarenessIsClaimed)
{
    HMODULE exe = LoadLibraryExA(BuiltProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    auto text = [](HMODULE module) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)); // RT_MANIFEST
        return found ? std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                                   SizeofResource(module, found))
                     : "(none)";
    };
    const std::string manifest = text(exe);
    FreeLibrary(exe);
    EXPECT_EQ(manifest, text(GetModuleHandleA(nullptr))) << "the program's manifest is this test program's";
    // Wine makes every process DPI-aware whatever the manifest says: what Windows reads is checked in the text.
    for (const char* claim : {"level=\"asInvoker\"", ">true</dpiAware>", ">PerMonitorV2, System</dpiAwareness>"})
        EXPECT_NE(manifest.find(claim), std::string::npos) << claim;
    // Common controls 6 are the side-by-side assembly's, never the system
    // folder's version 5 (Wine's answers 5.81 to DllGetVersion in both).
    char comctl[MAX_PATH] = "";
    ASSERT_GT(GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), comctl, MAX_PATH), 0u);
    CharLowerA(comctl);
    EXPECT_NE(std::string(comctl).find("\\winsxs\\"), std::string::npos) << comctl;
    EXPECT_NE(std::string(comctl).find("common-controls_6595b64144ccf1df_6."), std::string::npos) << comctl;
}

} // namespace

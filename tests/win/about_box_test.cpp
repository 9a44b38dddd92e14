// The About box, dialog centring and the settings folder.
#include <shlobj.h>

#include <string>

#include "app/about_box_win.h"
#include "app/position_file_win.h"
#include "main_window_fixture.h"

namespace {

using AboutBox = MainWindowFixture;

std::string ItemText(HWND dialog, int id)
{
    char buf[256] = "";
    GetDlgItemTextA(dialog, id, buf, sizeof(buf));
    return buf;
}

TEST_F(AboutBox, ShowsPictureNoticeAddressAndVersionCentredOverTheMainWindow)
{
    SetWindowPos(hWnd, nullptr, 100, 50, 700, 520, SWP_NOZORDER);
    std::string texts;
    BITMAP picture = {};
    RECT box = {};
    MessageBoxCatcher inspector(IDOK, BoxThreads::ThisThread, [&](HWND dialog) {
        for (int id : {IDC_ABOUT_NOTICE, IDC_ABOUT_VISIT, IDC_ABOUT_WEB, IDC_ABOUT_VERSION, IDOK})
            texts += ItemText(dialog, id) + "|";
        HWND shown = GetDlgItem(dialog, IDC_ABOUT_PICTURE);
        GetObjectA(reinterpret_cast<HBITMAP>(SendMessageA(shown, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof(picture),
                   &picture);
        GetWindowRect(dialog, &box);
    });
    EXPECT_EQ(ShowAboutBox(hWnd), 0);
    ASSERT_EQ(inspector.Boxes().size(), 1u);
    EXPECT_EQ(inspector.Boxes()[0].caption, "Keldane Mirravox");
    EXPECT_EQ(texts, "Copyright (C) 2026 Keldane Audio Tools|Visit us at:|www.keldane.example|"
                     "Keldane Mirravox V3.0 Build: 1003|OK|");
    EXPECT_EQ(picture.bmWidth, 279);
    EXPECT_EQ(picture.bmHeight, 225);
    const RECT main = WindowRect();
    EXPECT_EQ(box.left, main.left + (main.right - main.left - (box.right - box.left)) / 2);
    EXPECT_EQ(box.top, main.top + (main.bottom - main.top - (box.bottom - box.top)) / 2);
}

TEST_F(AboutBox, OpensFromBothCommandsAndClosesWithTheCloseBox)
{
    MessageBoxCatcher closer(IDCANCEL, BoxThreads::ThisThread, [](HWND) {});
    Command(IDM_ABOUT);
    Command(IDC_ALT_ABOUT);
    ASSERT_EQ(closer.Boxes().size(), 2u);
    EXPECT_EQ(closer.Boxes()[1].caption, "Keldane Mirravox");
    EXPECT_TRUE(IsWindow(hWnd));
}

TEST_F(AboutBox, IsKeptOnTheScreenOverAWindowNearItsEdge)
{
    HDC screen = GetDC(nullptr);
    const int screenW = GetDeviceCaps(screen, HORZRES), screenH = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    SetWindowPos(hWnd, nullptr, screenW - 200, screenH - 150, 665, 463, SWP_NOZORDER);
    RECT box = {};
    MessageBoxCatcher inspector(IDOK, BoxThreads::ThisThread, [&](HWND dialog) { GetWindowRect(dialog, &box); });
    ShowAboutBox(hWnd);
    EXPECT_EQ(box.right, screenW);
    EXPECT_EQ(box.bottom, screenH);
}

TEST(SettingsFolder, LiesInTheSharedApplicationDataAndIsCreated)
{
    char shared[MAX_PATH] = "", folder[260] = "";
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shared), S_OK);
    BuildSettingsFolder(folder);
    EXPECT_EQ(std::string(folder), std::string(shared) + "\\Keldane\\Keldane Mirravox");
    const DWORD attributes = GetFileAttributesA(folder);
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

// The About box, dialog centring and the settings folder.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "app/about_box.h"
#include "app/window_position.h"
#include "main_window_fixture.h"
#include "resource.h"

namespace {

std::string ItemText(HWND dialog, int id)
{
    char buf[256] = "";
    GetDlgItemTextA(dialog, id, buf, sizeof(buf));
    return buf;
}

struct AboutSeen {
    std::string caption, notice, visit, web, version, ok;
    bool textsCentred = false;
    bool pictureIsBitmap = false;
    SIZE picture = {0, 0};
    int pictureBits = 0;
    bool groupBox = false;
    std::string fontFace;
    LONG fontHeight = 0;
    SIZE client = {0, 0}, templateSize = {0, 0};
    RECT window = {};
};

void ReadAbout(HWND dialog, void* context)
{
    auto* seen = static_cast<AboutSeen*>(context);
    char buf[128] = "";
    GetWindowTextA(dialog, buf, sizeof(buf));
    seen->caption = buf;
    seen->notice = ItemText(dialog, IDC_ABOUT_NOTICE);
    seen->visit = ItemText(dialog, IDC_ABOUT_VISIT);
    seen->web = ItemText(dialog, IDC_ABOUT_WEB);
    seen->version = ItemText(dialog, IDC_ABOUT_VERSION);
    seen->ok = ItemText(dialog, IDOK);
    seen->textsCentred = true;
    for (int id : {IDC_ABOUT_NOTICE, IDC_ABOUT_VISIT, IDC_ABOUT_WEB, IDC_ABOUT_VERSION})
        seen->textsCentred &= (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & SS_TYPEMASK) == SS_CENTER;

    HWND picture = GetDlgItem(dialog, IDC_ABOUT_PICTURE);
    seen->pictureIsBitmap = (GetWindowLongA(picture, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    if (bitmap && GetObjectA(bitmap, sizeof(info), &info)) seen->picture = {info.bmWidth, info.bmHeight};
    // The static holds a copy in the screen's format; the resource itself is 24-bit.
    HBITMAP resource = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (resource && GetObjectA(resource, sizeof(info), &info)) seen->pictureBits = info.bmBitsPixel;
    if (resource) DeleteObject(resource);
    HWND group = FindWindowExA(dialog, nullptr, "Button", nullptr);
    for (; group; group = FindWindowExA(dialog, group, "Button", nullptr))
        if ((GetWindowLongA(group, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) seen->groupBox = true;

    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof(font), &font);
    seen->fontFace = font.lfFaceName;
    seen->fontHeight = font.lfHeight;

    RECT client, units = {0, 0, 163, 210};
    GetClientRect(dialog, &client);
    MapDialogRect(dialog, &units);
    seen->client = {client.right, client.bottom};
    seen->templateSize = {units.right, units.bottom};
    GetWindowRect(dialog, &seen->window);
}

using AboutBox = MainWindowFixture;

TEST_F(AboutBox, ShowsPictureNoticeAddressAndVersionCentredOverTheMainWindow)
{
    SetWindowPos(hWnd, nullptr, 100, 50, 700, 520, SWP_NOZORDER);
    AboutSeen seen;
    DialogInspector inspector(&ReadAbout, &seen);
    EXPECT_EQ(ShowAboutBox(hWnd), 0);
    ASSERT_EQ(inspector.Seen(), 1);

    EXPECT_EQ(seen.caption, "Keldane Mirravox");
    EXPECT_EQ(seen.notice, "Copyright (C) 2026 Keldane Audio Tools");
    EXPECT_EQ(seen.visit, "Visit us at:");
    EXPECT_EQ(seen.web, "www.keldane.example");
    EXPECT_EQ(seen.version, "Keldane Mirravox V3.0 Build: 1003");
    EXPECT_EQ(seen.ok, "OK");
    EXPECT_TRUE(seen.textsCentred);
    EXPECT_TRUE(seen.pictureIsBitmap);
    EXPECT_EQ(seen.picture.cx, 279);
    EXPECT_EQ(seen.picture.cy, 225);
    EXPECT_EQ(seen.pictureBits, 24);
    EXPECT_TRUE(seen.groupBox);
    EXPECT_STREQ(seen.fontFace.c_str(), "Arial");
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(seen.fontHeight, -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(seen.client.cx, seen.templateSize.cx);
    EXPECT_EQ(seen.client.cy, seen.templateSize.cy);

    const RECT main = WindowRect();
    const int w = seen.window.right - seen.window.left, h = seen.window.bottom - seen.window.top;
    EXPECT_EQ(seen.window.left, main.left + (main.right - main.left - w) / 2);
    EXPECT_EQ(seen.window.top, main.top + (main.bottom - main.top - h) / 2);
}

TEST_F(AboutBox, OpensFromTheMenuAndFromItsSecondCommandAndClosesWithTheWindow)
{
    AboutSeen seen;
    DialogInspector inspector(&ReadAbout, &seen, IDCANCEL); // as the close box does
    Command(IDM_ABOUT);
    Command(IDC_ALT_ABOUT);
    EXPECT_EQ(inspector.Seen(), 2);
    EXPECT_EQ(seen.version, "Keldane Mirravox V3.0 Build: 1003");
    EXPECT_TRUE(IsWindow(hWnd));
}

TEST_F(AboutBox, IsKeptOnTheScreenOverAWindowNearItsEdge)
{
    HDC screen = GetDC(nullptr);
    const int screenW = GetDeviceCaps(screen, HORZRES), screenH = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);

    // Over a main window near the right and bottom edges the box ends at the
    // screen's edges.
    SetWindowPos(hWnd, nullptr, screenW - 200, screenH - 150, 665, 463, SWP_NOZORDER);
    struct Context { RECT window; } context = {};
    DialogInspector inspector(
        [](HWND dialog, void* c) { GetWindowRect(dialog, &static_cast<Context*>(c)->window); }, &context);
    ShowAboutBox(hWnd);
    EXPECT_EQ(context.window.right, screenW);
    EXPECT_EQ(context.window.bottom, screenH);
}

TEST(SettingsFolder, LiesInTheSharedApplicationDataAndIsCreated)
{
    char shared[MAX_PATH] = "";
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shared), S_OK);
    char folder[260] = "";
    BuildSettingsFolder(folder);
    EXPECT_EQ(std::string(folder), std::string(shared) + "\\Keldane\\Keldane Mirravox");
    const DWORD attributes = GetFileAttributesA(folder);
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

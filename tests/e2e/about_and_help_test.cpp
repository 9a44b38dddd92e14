// The About box of the real program on screen, and the help pages installed
// beside it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "driver.h"
#include "resource.h"

namespace {

struct FindDialog {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND hWnd, LPARAM lParam)
{
    auto* data = reinterpret_cast<FindDialog*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    char cls[64] = "";
    GetClassNameA(hWnd, cls, sizeof(cls));
    if (pid == data->pid && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(hWnd)) {
        data->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForDialogOf(HWND mainWindow, DWORD timeoutMs)
{
    FindDialog data = {0, nullptr};
    GetWindowThreadProcessId(mainWindow, &data.pid);
    const DWORD start = GetTickCount();
    do {
        EnumWindows(&FindVisibleDialog, reinterpret_cast<LPARAM>(&data));
        if (data.found) return data.found;
        // The dialog is made by another process; nothing signals it.
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

// Distinct colours in a rectangle of a screenshot (window coordinates).
int Colours(const Screenshot& shot, const RECT& r)
{
    COLORREF seen[64];
    int count = 0;
    for (int y = r.top; y < r.bottom; y += 2)
        for (int x = r.left; x < r.right; x += 2) {
            const COLORREF c = shot.At(x, y);
            bool known = false;
            for (int i = 0; i < count && !known; ++i) known = seen[i] == c;
            if (!known && count < 64) seen[count++] = c;
        }
    return count;
}

RECT InWindow(HWND window, HWND control)
{
    RECT w, c;
    GetWindowRect(window, &w);
    GetWindowRect(control, &c);
    return {c.left - w.left, c.top - w.top, c.right - w.left, c.bottom - w.top};
}

TEST(AboutBoxOnScreen, ShowsThePictureAndTheTextsAndClosesWithOk)
{
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 0), 0);
    HWND about = WaitForDialogOf(hWnd, 5000);
    ASSERT_NE(about, nullptr) << "no About box";

    EXPECT_EQ(WindowText(about), "Keldane Mirravox");
    EXPECT_EQ(ControlText(about, IDC_ABOUT_VERSION), "Keldane Mirravox V3.0 Build: 1003");
    EXPECT_EQ(GetWindow(about, GW_OWNER), hWnd);

    // The box paints in the program's own thread: take pictures until the
    // picture and the version line have been drawn.
    const RECT picture = InWindow(about, GetDlgItem(about, IDC_ABOUT_PICTURE));
    const RECT version = InWindow(about, GetDlgItem(about, IDC_ABOUT_VERSION));
    Screenshot shot;
    const DWORD start = GetTickCount();
    do {
        RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        shot = CaptureWindow(about);
        if (Colours(shot, picture) > 16 && Colours(shot, version) > 1) break;
        Sleep(50);
    } while (GetTickCount() - start < 5000);
    EXPECT_TRUE(shot.SaveBmp(ArtefactFolder() + "\\about_box.bmp"));
    EXPECT_GT(Colours(shot, picture), 16) << "the picture is not drawn";
    EXPECT_GT(Colours(shot, version), 1) << "the version line is not drawn";
    // The picture (279 x 225 pixels) is centred across the box and fits it.
    RECT client;
    GetClientRect(about, &client);
    EXPECT_GE(picture.right - picture.left, 279);
    EXPECT_GE(picture.bottom - picture.top, 225);
    POINT origin = {0, 0};
    ClientToScreen(about, &origin);
    RECT frame;
    GetWindowRect(about, &frame);
    const int clientLeft = origin.x - frame.left;
    EXPECT_EQ(picture.left - clientLeft, 0);
    EXPECT_EQ(picture.right - clientLeft, client.right);

    PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const DWORD closing = GetTickCount();
    while (IsWindow(about) && GetTickCount() - closing < 5000) Sleep(20);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowEnabled(hWnd)) << "the main window is usable again";
}

std::string ReadText(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "";
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) text.append(buf, n);
    std::fclose(f);
    return text;
}

TEST(HelpPages, LieInHelpHtmlBesideTheProgramAndLinkToEachOther)
{
    std::string folder = ProgramPath();
    folder.erase(folder.rfind('\\'));
    folder += "\\help\\html\\";
    const std::string index = ReadText(folder + "index.html");
    ASSERT_FALSE(index.empty()) << folder << "index.html";
    EXPECT_NE(index.find("<title>"), std::string::npos);
    for (const char* page : {"hid_audiofx.htm", "hid_3daudio.htm"}) {
        const std::string text = ReadText(folder + page);
        ASSERT_FALSE(text.empty()) << page;
        EXPECT_NE(text.find("<title>"), std::string::npos) << page;
        EXPECT_NE(text.find("href=\"index.html\""), std::string::npos) << page;
        EXPECT_NE(index.find(std::string("href=\"") + page + "\""), std::string::npos) << page;
    }
}

} // namespace

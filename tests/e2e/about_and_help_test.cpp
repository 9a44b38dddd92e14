// The About box of the real program on screen, and the help pages installed
// beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "resource.h"

namespace {

// Distinct colours in a rectangle of a screenshot (window coordinates).
int Colours(const Screenshot& shot, const RECT& r)
{
    std::vector<COLORREF> seen;
    for (int y = r.top; y < r.bottom; y += 2)
        for (int x = r.left; x < r.right && seen.size() < 64; x += 2)
            if (std::find(seen.begin(), seen.end(), shot.At(x, y)) == seen.end()) seen.push_back(shot.At(x, y));
    return int(seen.size());
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
    HWND about = program.WaitForDialog("Keldane Mirravox", 5000);
    ASSERT_NE(about, nullptr) << "no About box";
    EXPECT_EQ(ControlText(about, IDC_ABOUT_VERSION), "Keldane Mirravox V3.0 Build: 1003");
    EXPECT_EQ(GetWindow(about, GW_OWNER), hWnd);

    // The box paints in the program's own thread: take pictures until the
    // picture and the version line have been drawn.
    const RECT picture = InWindow(about, GetDlgItem(about, IDC_ABOUT_PICTURE));
    const RECT version = InWindow(about, GetDlgItem(about, IDC_ABOUT_VERSION));
    Screenshot shot;
    WaitUntil(
        [&] {
            RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            shot = CaptureWindow(about);
            return Colours(shot, picture) > 16 && Colours(shot, version) > 1;
        },
        5000);
    EXPECT_TRUE(shot.SaveBmp(ArtefactFolder() + "\\about_box.bmp"));
    EXPECT_GT(Colours(shot, picture), 16) << "the picture is not drawn";
    EXPECT_GT(Colours(shot, version), 1) << "the version line is not drawn";
    // The picture (279 x 225 pixels) is centred across the box and fits it.
    RECT client, frame;
    GetClientRect(about, &client);
    GetWindowRect(about, &frame);
    POINT origin = {0, 0};
    ClientToScreen(about, &origin);
    EXPECT_GE(picture.right - picture.left, 279);
    EXPECT_GE(picture.bottom - picture.top, 225);
    EXPECT_EQ(picture.left, origin.x - frame.left);
    EXPECT_EQ(picture.right, origin.x - frame.left + client.right);

    PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
    EXPECT_TRUE(IsWindowEnabled(hWnd)) << "the main window is usable again";
}

TEST(HelpPages, LieInHelpHtmlBesideTheProgramAndLinkToEachOther)
{
    std::string folder = ProgramPath();
    folder.erase(folder.rfind('\\'));
    folder += "\\help\\html\\";
    const std::string index = FileBytes(folder + "index.html");
    ASSERT_NE(index.find("<title>"), std::string::npos) << folder << "index.html";
    for (const char* page : {"hid_audiofx.htm", "hid_3daudio.htm"}) {
        const std::string text = FileBytes(folder + page);
        EXPECT_NE(text.find("<title>"), std::string::npos) << page;
        EXPECT_NE(text.find("href=\"index.html\""), std::string::npos) << page;
        EXPECT_NE(index.find(std::string("href=\"") + page + "\""), std::string::npos) << page;
    }
}

} // namespace

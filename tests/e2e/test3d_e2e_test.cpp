// The 3D audio test of the real program, opened from the Effects menu: it
// plays our content file beside the program and its red cross runs over the
// grid, while the main window stays usable.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "driver.h"
#include "resource.h"

namespace {

// The red pixels (the cross) inside a rectangle of the shot: how many, and
// how far their middle lies from the rectangle's centre.
struct Cross {
    int pixels = 0;
    double distance = 0;
};

Cross FindCross(const Screenshot& shot, const RECT& r)
{
    Cross c;
    double sx = 0, sy = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (shot.At(x, y) == RGB(255, 0, 0)) {
                ++c.pixels;
                sx += x;
                sy += y;
            }
    if (c.pixels)
        c.distance = std::hypot(sx / c.pixels - (r.left + r.right) / 2.0, sy / c.pixels - (r.top + r.bottom) / 2.0);
    return c;
}

TEST(Test3DOnScreen, EffectsMenuOpensTheTestThatPlaysAndMovesTheSource)
{
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_3D_SOUND, 0), 0);
    HWND dialog = program.WaitForDialog("3D Audio Testing", 10000);
    ASSERT_NE(dialog, nullptr) << "no 3D audio test";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(hWnd));

    // Our piece beside the program, loaded.
    const std::string file = ControlText(dialog, IDC_3D_FILE);
    EXPECT_EQ(file.substr(file.rfind('\\') + 1), "Intrigue.mid");
    EXPECT_EQ(FileBytes(file).substr(0, 4), "MThd") << file;
    PressButton(dialog, IDC_3D_PLAY);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_3D_STOP)) != FALSE; }, 5000));

    // A wide ellipse (at least 3.75 m, 48 pixels, from the listener) keeps
    // the cross clear of the listener in the picture.
    SendDlgItemMessageA(dialog, IDC_3D_GRID_X, TBM_SETPOS, TRUE, 85);
    SendDlgItemMessageA(dialog, IDC_3D_GRID_Z, TBM_SETPOS, TRUE, 75);

    RECT frame, picture;
    GetWindowRect(dialog, &frame);
    GetWindowRect(GetDlgItem(dialog, IDC_3D_PICTURE), &picture);
    OffsetRect(&picture, -frame.left, -frame.top);
    Screenshot shot;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shot = CaptureWindow(dialog);
            const Cross cross = FindCross(shot, picture);
            return cross.pixels >= 5 && cross.distance > 40;
        },
        5000))
        << "no cross on the wide ellipse";
    EXPECT_TRUE(shot.SaveBmp(ArtefactFolder() + "\\test3d.bmp"));

    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_TRUE(program.Exit());
}

} // namespace

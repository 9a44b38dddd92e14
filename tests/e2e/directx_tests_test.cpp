// The DirectX parts of the real program, opened from its menus beside the
// main window: the DirectSound capabilities; the 3D test playing our
// Intrigue.mid with its red cross running over the grid; the audio-effects
// test playing our ReggaeBeats.mid through two effects with a slider moved
// from outside. Closing a test leaves the program running; File > Exit while
// the effects test plays ends both with code 0. Each is kept as a picture.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "driver.h"
#include "resource.h"

namespace {

// A click as the user makes it: the control toggles and tells the dialog.
void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The red pixels (the cross) inside a rectangle: at least five, their middle
// further than 40 pixels from its centre.
bool CrossAwayFromTheCentre(const Screenshot& shot, const RECT& r)
{
    int pixels = 0;
    double sx = 0, sy = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (shot.At(x, y) == RGB(255, 0, 0)) ++pixels, sx += x, sy += y;
    return pixels >= 5 &&
           std::hypot(sx / pixels - (r.left + r.right) / 2.0, sy / pixels - (r.top + r.bottom) / 2.0) > 40;
}

bool StatusBecomes(HWND fx, const char* text)
{
    return WaitUntil([&] { return ControlText(fx, IDC_FX_STATUS) == text; }, 5000);
}

TEST(DirectXTests, FromTheMenusBesideTheMainWindow)
{
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);

    HWND caps = program.OpenDialog(IDM_DS_CAPS, "Direct Sound Device Capabilities");
    ASSERT_NE(caps, nullptr);
    EXPECT_EQ(GetWindow(caps, GW_OWNER), hWnd);
    // With a device, pictures until its sentences are drawn.
    const bool devices = SendDlgItemMessageW(caps, IDC_DSCAPS_DEVICE, CB_GETCOUNT, 0, 0) > 0;
    RECT list = InWindow(caps, IDC_DSCAPS_INFO);
    InflateRect(&list, -3, -3);
    auto listDrawn = [&](const Screenshot& s) { return !devices || s.Differing(list) > 0; };
    EXPECT_TRUE(listDrawn(KeepShot(caps, "ds_capabilities.bmp", listDrawn)));
    PressButton(caps, IDOK);
    EXPECT_TRUE(WaitGone(caps));

    HWND test3d = program.OpenDialog(IDM_3D_SOUND, "3D Audio Testing");
    ASSERT_NE(test3d, nullptr);
    EXPECT_EQ(GetWindow(test3d, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(hWnd));
    const std::string file = ControlText(test3d, IDC_3D_FILE);
    EXPECT_EQ(file.substr(file.rfind('\\') + 1), "Intrigue.mid");
    EXPECT_EQ(FileBytes(file).substr(0, 4), "MThd") << file;
    PressButton(test3d, IDC_3D_PLAY);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(test3d, IDC_3D_STOP)) != FALSE; }, 5000));
    // A wide ellipse (at least 3.75 m, 48 pixels, from the listener) keeps
    // the cross clear of the listener in the picture.
    SendDlgItemMessageA(test3d, IDC_3D_GRID_X, TBM_SETPOS, TRUE, 85);
    SendDlgItemMessageA(test3d, IDC_3D_GRID_Z, TBM_SETPOS, TRUE, 75);
    const RECT picture = InWindow(test3d, IDC_3D_PICTURE);
    auto crossDrawn = [&](const Screenshot& s) { return CrossAwayFromTheCentre(s, picture); };
    EXPECT_TRUE(crossDrawn(KeepShot(test3d, "test3d.bmp", crossDrawn))) << "no cross on the wide ellipse";
    PressButton(test3d, IDCANCEL);
    EXPECT_TRUE(WaitGone(test3d));

    HWND fx = program.OpenDialog(IDM_AUDIO_FX, "Audio Effects");
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(GetWindow(fx, GW_OWNER), nullptr);
    const std::string sound = ControlText(fx, IDC_FX_FILENAME);
    EXPECT_EQ(sound.substr(sound.rfind('\\') + 1), "ReggaeBeats.mid");
    EXPECT_EQ(ControlText(fx, IDC_FX_STATUS), "File loaded.");
    // Echo and the parametric equaliser instead of the chorus; adjust the equaliser.
    for (int kind : {0, 3, 6}) Click(fx, IDC_FX_ENABLE_FIRST + kind);
    Click(fx, IDC_FX_ADJUST_FIRST + 6);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(fx, IDC_FX_PAGE_TITLE) == "Parameters for [ Param Eq ]"; }, 5000));
    Click(fx, IDC_FX_PLAY);
    ASSERT_TRUE(StatusBecomes(fx, "Sound playing."));
    // The centre frequency's slider to three quarters (80 + 15920 x 0.75): the
    // page reads it when it redraws. (Wine's trackbar draws no thumb beyond
    // about 85 % of this range: its pixel arithmetic overflows.)
    HWND slider = GetDlgItem(fx, IDC_FX_ROW_FIRST + 2);
    SendMessageA(slider, TBM_SETPOS, TRUE, 8388607 / 4 * 3);
    RedrawWindow(slider, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(fx, IDC_FX_ROW_FIRST + 1) == "12020.0"; }, 5000))
        << ControlText(fx, IDC_FX_ROW_FIRST + 1);
    EXPECT_EQ(WindowText(hWnd), "Keldane Mirravox") << "the main window answers while the test runs";
    KeepShot(fx, "audio-effects.bmp");
    PressButton(fx, IDOK);
    EXPECT_TRUE(WaitGone(fx));
    EXPECT_TRUE(IsWindow(hWnd)) << "the test's end is not the program's";

    // Again, and File > Exit while it plays: the main window goes and asks
    // to quit; the test hands that on.
    fx = program.OpenDialog(IDM_AUDIO_FX, "Audio Effects");
    ASSERT_NE(fx, nullptr);
    Click(fx, IDC_FX_PLAY);
    ASSERT_TRUE(StatusBecomes(fx, "Sound playing."));
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
}

} // namespace

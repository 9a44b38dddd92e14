// The DirectX parts of the real program, opened from its menus beside the
// main window, each kept as a picture: the DirectSound capabilities; the 3D
// test playing Intrigue.mid from beside the program, its cross running; the
// effects test playing ReggaeBeats.mid through two effects. Closing a test
// leaves the program running; File > Exit while one plays ends both with 0.
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

bool Playing(HWND fx)
{
    return WaitUntil([&] { return ControlText(fx, IDC_FX_STATUS) == "Sound playing."; }, 5000);
}

TEST(DirectXTests, FromTheMenusBesideTheMainWindow)
{
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);

    HWND caps = program.OpenDialog(IDM_DS_CAPS, "Direct Sound Device Capabilities");
    ASSERT_NE(caps, nullptr);
    EXPECT_EQ(GetWindow(caps, GW_OWNER), hWnd);
    KeepShot(caps, "ds_capabilities.bmp");
    PressButton(caps, IDOK);
    EXPECT_TRUE(WaitGone(caps));

    HWND test3d = program.OpenDialog(IDM_3D_SOUND, "3D Audio Testing");
    ASSERT_NE(test3d, nullptr);
    EXPECT_EQ(GetWindow(test3d, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(hWnd));
    const std::string file = ControlText(test3d, IDC_3D_FILE);
    EXPECT_EQ(file.substr(file.rfind('\\') + 1), "Intrigue.mid");
    PressButton(test3d, IDC_3D_PLAY);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(test3d, IDC_3D_STOP)) != FALSE; }, 5000));
    // On a wide ellipse the red cross runs 48 pixels or more from the listener at the centre.
    SendDlgItemMessageA(test3d, IDC_3D_GRID_X, TBM_SETPOS, TRUE, 85);
    SendDlgItemMessageA(test3d, IDC_3D_GRID_Z, TBM_SETPOS, TRUE, 75);
    const RECT p = InWindow(test3d, IDC_3D_PICTURE);
    auto crossAway = [&](const Screenshot& s) {
        int away = 0;
        for (int y = p.top; y < p.bottom; ++y)
            for (int x = p.left; x < p.right; ++x)
                away += s.At(x, y) == RGB(255, 0, 0) &&
                        std::hypot(x - (p.left + p.right) / 2, y - (p.top + p.bottom) / 2) > 40;
        return away >= 5;
    };
    EXPECT_TRUE(crossAway(KeepShot(test3d, "test3d.bmp", crossAway))) << "no cross on the wide ellipse";
    PressButton(test3d, IDCANCEL);
    EXPECT_TRUE(WaitGone(test3d));

    HWND fx = program.OpenDialog(IDM_AUDIO_FX, "Audio Effects");
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(GetWindow(fx, GW_OWNER), nullptr);
    const std::string sound = ControlText(fx, IDC_FX_FILENAME);
    EXPECT_EQ(sound.substr(sound.rfind('\\') + 1), "ReggaeBeats.mid");
    EXPECT_EQ(ControlText(fx, IDC_FX_STATUS), "File loaded.");
    // Echo and the parametric equaliser instead of the chorus, the equaliser's page shown.
    for (int kind : {0, 3, 6}) Click(fx, IDC_FX_ENABLE_FIRST + kind);
    Click(fx, IDC_FX_ADJUST_FIRST + 6);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(fx, IDC_FX_PAGE_TITLE) == "Parameters for [ Param Eq ]"; }, 5000));
    Click(fx, IDC_FX_PLAY);
    ASSERT_TRUE(Playing(fx));
    EXPECT_EQ(WindowText(hWnd), "Keldane Mirravox") << "the main window answers while the test runs";
    KeepShot(fx, "audio-effects.bmp");
    PressButton(fx, IDOK);
    EXPECT_TRUE(WaitGone(fx));
    EXPECT_TRUE(IsWindow(hWnd)) << "the test's end is not the program's";

    // Again, and File > Exit while it plays: the test hands the quit on.
    fx = program.OpenDialog(IDM_AUDIO_FX, "Audio Effects");
    ASSERT_NE(fx, nullptr);
    Click(fx, IDC_FX_PLAY);
    ASSERT_TRUE(Playing(fx));
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
}

} // namespace

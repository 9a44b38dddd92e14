// The audio-effects test of the real program, opened from the Effects menu:
// it starts with the program's own ReggaeBeats.mid, plays it through the
// effects chosen, takes a slider's value, and ends without ending the
// program; a program that exits meanwhile still exits.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "driver.h"
#include "resource.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A click as the user makes it: the control toggles and tells the dialog.
void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool Checked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Effects, "Audio FX": the main window and the test's dialog, null when either does not appear.
std::pair<HWND, HWND> OpenTest(MirravoxProcess& program)
{
    HWND hWnd = program.WaitForMainWindow(15000);
    if (!hWnd) return {nullptr, nullptr};
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_AUDIO_FX, 0), 0);
    return {hWnd, program.WaitForDialog("Audio Effects", 10000)};
}

TEST(AudioEffectsOnScreen, EffectsMenuRunsTheTestBesideTheMainWindow)
{
    MirravoxProcess program;
    const std::pair<HWND, HWND> opened = OpenTest(program);
    HWND hWnd = opened.first, dialog = opened.second;
    ASSERT_NE(dialog, nullptr) << "no audio-effects dialog";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    EXPECT_TRUE(EndsWith(ControlText(dialog, IDC_FX_FILENAME), "\\ReggaeBeats.mid"))
        << ControlText(dialog, IDC_FX_FILENAME);
    EXPECT_EQ(ControlText(dialog, IDC_FX_STATUS), "File loaded.");

    // Echo and the parametric equaliser instead of the chorus; adjust the equaliser.
    for (int kind : {0, 3, 6}) Click(dialog, IDC_FX_ENABLE_FIRST + kind);
    Click(dialog, IDC_FX_ADJUST_FIRST + 6);
    ASSERT_TRUE(
        WaitUntil([&] { return ControlText(dialog, IDC_FX_PAGE_TITLE) == "Parameters for [ Param Eq ]"; }, 5000));
    EXPECT_TRUE(!Checked(dialog, IDC_FX_ENABLE_FIRST) && Checked(dialog, IDC_FX_ENABLE_FIRST + 3));
    Click(dialog, IDC_FX_PLAY);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(dialog, IDC_FX_STATUS) == "Sound playing."; }, 5000));

    // The centre frequency's slider to three quarters (80 + 15920 x 0.75): the
    // page reads it when it redraws. (Wine's trackbar draws no thumb beyond
    // about 85 % of this range: its pixel arithmetic overflows.)
    HWND slider = GetDlgItem(dialog, IDC_FX_ROW_FIRST + 2);
    SendMessageA(slider, TBM_SETPOS, TRUE, 8388607 / 4 * 3);
    RedrawWindow(slider, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(WaitUntil([&] { return ControlText(dialog, IDC_FX_ROW_FIRST + 1) == "12020.0"; }, 5000))
        << ControlText(dialog, IDC_FX_ROW_FIRST + 1);
    // The main window still answers while the test runs.
    EXPECT_EQ(WindowText(hWnd), "Keldane Mirravox");

    // Painted whole before the picture is taken.
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Screenshot shot;
    ASSERT_TRUE(WaitUntil(
        [&] {
            shot = CaptureWindow(dialog);
            return shot.width > 0;
        },
        5000));
    shot.SaveBmp(ArtefactFolder() + "\\audio-effects.bmp");

    PressButton(dialog, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_TRUE(IsWindow(hWnd)); // the test's end is not the program's
    EXPECT_TRUE(program.Exit());
}

TEST(AudioEffectsOnScreen, ExitingTheProgramWhileTheTestRunsEndsBoth)
{
    MirravoxProcess program;
    const std::pair<HWND, HWND> opened = OpenTest(program);
    HWND hWnd = opened.first, dialog = opened.second;
    ASSERT_NE(dialog, nullptr) << "no audio-effects dialog";
    Click(dialog, IDC_FX_PLAY);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(dialog, IDC_FX_STATUS) == "Sound playing."; }, 5000));
    // File > Exit: the main window goes and asks to quit; the test hands that on.
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
}

} // namespace

// The main jobs, as a user does them. At CD-quality stereo through the null
// sink's devices chosen in Device selection: save a created tone, play the
// 1 kHz sine preset and record it back (the live views and the statistics
// kept as pictures), each file saved through the real save dialog;
// check_jobs.sh runs this and reads the files with sox and sndfile-info.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "driver.h"
#include "resource.h"

namespace {

TEST(RecordingJob, AtCdQualityThroughTheChosenDevices)
{
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    SetForegroundWindow(hWnd);
    KeepShot(hWnd, "before_recording.bmp");

    SelectComboItem(hWnd, IDC_RATE, 7); // 44100 Hz, 16 bit, stereo
    SelectComboItem(hWnd, IDC_RESOLUTION, 1);
    SelectComboItem(hWnd, IDC_CHANNELS, 1);
    ASSERT_EQ(ControlText(hWnd, IDC_REQUESTED), "176400");
    HWND select = program.OpenDialog(IDM_DEVICE_SELECTION, "Device selection");
    ASSERT_NE(select, nullptr);
    auto find = [&](int id, const wchar_t* text) {
        return int(SendDlgItemMessageW(select, id, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(text)));
    };
    const int in = find(IDC_SELECT_INPUT, L"Monitor of Null Output"), out = find(IDC_SELECT_OUTPUT, L"Null Output");
    if (in == CB_ERR || out == CB_ERR) {
        PressButton(select, IDCANCEL);
        GTEST_SKIP() << "no null sink";
    }
    SendDlgItemMessageA(select, IDC_SELECT_INPUT, CB_SETCURSEL, in, 0);
    SendDlgItemMessageA(select, IDC_SELECT_OUTPUT, CB_SETCURSEL, out, 0);
    PressButton(select, IDOK);
    ASSERT_TRUE(WaitGone(select));
    // What the null sink's output claims, kept as a picture.
    HWND caps = program.OpenDialog(IDM_WAVE_CAPS, "Device Capabilities");
    ASSERT_NE(caps, nullptr);
    SelectComboItem(caps, IDC_CAPS_KIND, 1);
    SelectComboItem(caps, IDC_CAPS_DEVICE, out);
    KeepShot(caps, "capabilities-null-output.bmp");
    PressButton(caps, IDOK);
    ASSERT_TRUE(WaitGone(caps));

    // A 2-second 1 kHz sine at 50 %, created and saved.
    HWND tone = program.OpenDialog(IDM_CREATE_TONE, "Create test tones");
    ASSERT_NE(tone, nullptr);
    SendDlgItemMessageA(tone, IDC_TONE_SHAPES, LB_SETCURSEL, 0, 0);
    TypeText(GetDlgItem(tone, IDC_TONE_AMPLITUDE), "50");
    TypeText(GetDlgItem(tone, IDC_TONE_FREQUENCY), "1000");
    TypeText(GetDlgItem(tone, IDC_TONE_SECONDS), "2");
    PressButton(tone, IDC_TONE_SAVE);
    ASSERT_TRUE(WaitGone(tone));
    EXPECT_GE(SaveAs(program, Artefact("saved-tone.wav")).size(), 44u);

    Command(hWnd, IDM_SINE_1K);
    Command(hWnd, IDM_RECORD);
    // Until the In fill field counts 2 s: the capture under Wine starts two
    // seconds late or more, and delivers nothing before.
    float recorded = 0;
    EXPECT_TRUE(WaitUntil(
        [&] {
            return std::sscanf(ControlText(hWnd, IDC_FILL_IN).c_str(), "%*d%% %*fMB %fSec", &recorded) == 1 &&
                   recorded >= 2;
        },
        30000))
        << ControlText(hWnd, IDC_FILL_IN);
    KeepShot(hWnd, "while_recording.bmp");
    SelectComboItem(hWnd, IDC_VIEW, 1); // the spectrum of the same sound
    Sleep(500);                         // its frames come from the program's timer
    KeepShot(hWnd, "while_recording_spectrum.bmp");
    SelectComboItem(hWnd, IDC_VIEW, 0);
    Command(hWnd, IDM_STOP);
    KeepShot(hWnd, "after_recording.bmp");
    // The six overlay lines (every display flag is on, and something was
    // played): yellow text in each line's band over the display's corner.
    const Screenshot shot = KeepShot(hWnd, "statistics_after_recording.bmp");
    const RECT display = InWindow(hWnd, IDC_DISPLAY);
    HDC screen = GetDC(nullptr);
    const int lineHeight = int(int(GetDeviceCaps(screen, LOGPIXELSY) / 96.0f * 14) * 1.2);
    ReleaseDC(nullptr, screen);
    const int left = display.left + 40, top = display.top + 10;
    std::string yellowPerLine;
    for (int line = 0; line < 7; ++line) {
        int yellow = 0;
        for (int y = top + line * lineHeight; y < std::min(top + (line + 1) * lineHeight, shot.height); ++y)
            for (int x = left; x < std::min(left + 260, shot.width); ++x) yellow += shot.At(x, y) == RGB(255, 255, 0);
        yellowPerLine += yellow > 20 ? '1' : '0';
    }
    EXPECT_EQ(yellowPerLine, "1111110") << "lines with yellow text, from the top";
    EXPECT_GE(SaveRecordingAs(program, hWnd, Artefact("recording.wav")).size(), 44u);
}

} // namespace

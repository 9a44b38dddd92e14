// What the display tells after a recording, as a user sees it: the six
// statistics fields hold the final update made at Stop, and the overlay
// shows its lines (screenshot kept as statistics_after_recording.bmp).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"
#include "resource.h"

namespace {

const int kFields[] = {IDC_ACTUAL_IN, IDC_AVERAGE_IN, IDC_ACTUAL_OUT, IDC_AVERAGE_OUT, IDC_FILL_IN, IDC_FILL_OUT};

std::vector<std::string> Fields(HWND hWnd)
{
    std::vector<std::string> texts;
    for (int id : kFields) texts.push_back(ControlText(hWnd, id));
    return texts;
}

TEST(StatisticsDisplay, FieldsHoldTheFinalUpdateAfterARecording)
{
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    SelectComboItem(hWnd, IDC_RATE, 7);       // 44100 Hz
    SelectComboItem(hWnd, IDC_RESOLUTION, 1); // 16 bit
    SelectComboItem(hWnd, IDC_CHANNELS, 1);   // stereo

    Command(hWnd, IDM_SINE_1K);
    Command(hWnd, IDM_RECORD);
    Sleep(4000);
    Command(hWnd, IDM_STOP);
    const std::vector<std::string> atStop = Fields(hWnd);
    Sleep(1200); // more than two statistics intervals: no tick may change them
    const std::vector<std::string> later = Fields(hWnd);
    EXPECT_EQ(later, atStop);

    int actualIn = 0, averageIn = 0, actualOut = 0, averageOut = 0, percent = -1;
    float deviationIn = 0, deviationOut = 0, megabytes = -1, seconds = -1;
    ASSERT_EQ(std::sscanf(atStop[0].c_str(), "%d", &actualIn), 1) << atStop[0];
    ASSERT_EQ(std::sscanf(atStop[1].c_str(), "%d (%f%%)", &averageIn, &deviationIn), 2) << atStop[1];
    ASSERT_EQ(std::sscanf(atStop[2].c_str(), "%d", &actualOut), 1) << atStop[2];
    ASSERT_EQ(std::sscanf(atStop[3].c_str(), "%d (%f%%)", &averageOut, &deviationOut), 2) << atStop[3];
    ASSERT_EQ(std::sscanf(atStop[4].c_str(), "%d%% %fMB %fSec", &percent, &megabytes, &seconds), 3) << atStop[4];
    std::printf("[ measured ] at Stop: Actual In %s, Average In %s, Actual Out %s, Average Out %s, In %s, Out %s\n",
                atStop[0].c_str(), atStop[1].c_str(), atStop[2].c_str(), atStop[3].c_str(), atStop[4].c_str(),
                atStop[5].c_str());
    // Both sessions ran at Stop, so the final update shows them running.
    EXPECT_GT(actualIn, 0);
    EXPECT_GT(averageIn, 0);
    EXPECT_GT(actualOut, 0);
    EXPECT_GT(averageOut, 0);
    EXPECT_NEAR(deviationIn, 100.0 * (averageIn - 176400) / 176400, 0.005);
    EXPECT_NEAR(deviationOut, 100.0 * (averageOut - 176400) / 176400, 0.005);
    // Up to 4 s of CD-quality stereo in the default 2 MB store.
    EXPECT_GT(seconds, 1.0f);
    EXPECT_LE(seconds, 4.2f);
    EXPECT_NEAR(megabytes, seconds * 176400 / 1048576, 0.1);
    EXPECT_NE(atStop[5], "0% 0.0MB 0.0Sec") << "the playback store fill";

    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const Screenshot shot = CaptureWindow(hWnd);
    EXPECT_TRUE(shot.SaveBmp(ArtefactFolder() + "\\statistics_after_recording.bmp"));
    // The six overlay lines (every display flag is on, and something was
    // played): yellow text in each line's band over the display's corner.
    RECT window, display;
    GetWindowRect(hWnd, &window);
    GetWindowRect(GetDlgItem(hWnd, IDC_DISPLAY), &display);
    HDC screen = GetDC(nullptr);
    const int lineHeight = int(int(GetDeviceCaps(screen, LOGPIXELSY) / 96.0f * 14) * 1.2);
    ReleaseDC(nullptr, screen);
    std::string yellowPerLine;
    for (int line = 0; line < 7; ++line) {
        int yellow = 0;
        for (int y = 0; y < lineHeight; ++y)
            for (int x = 40; x < 300; ++x) {
                const int sx = display.left - window.left + x,
                          sy = display.top - window.top + 10 + line * lineHeight + y;
                if (sx < shot.width && sy < shot.height) yellow += shot.At(sx, sy) == RGB(255, 255, 0);
            }
        yellowPerLine += yellow > 20 ? '1' : '0';
    }
    EXPECT_EQ(yellowPerLine, "1111110") << "lines with yellow text, from the top";
    EXPECT_TRUE(program.Exit());
}

} // namespace

// Starting the real program: the install switch, and the main window on screen.
#include <gtest/gtest.h>

#include <utility>

#include "driver.h"
#include "resource.h"

namespace {

TEST(Startup, InstallSwitchRunsStartUpAndExitsWithZero)
{
    for (const char* arg : {"/I", "/install"}) {
        MirravoxProcess program(arg);
        ASSERT_TRUE(program.Started()) << ProgramPath();
        DWORD code = 1234;
        ASSERT_TRUE(program.WaitForExit(10000, &code)) << arg << " did not end";
        EXPECT_EQ(code, 0u) << arg;
    }
}

TEST(Startup, MainWindowShowsItsControlsAndTheBlackDisplay)
{
    MirravoxProcess program;
    ASSERT_TRUE(program.Started());
    HWND hWnd = program.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(WindowText(hWnd), "Keldane Mirravox");
    EXPECT_EQ(ControlText(hWnd, IDC_REQUESTED), "11025");
    EXPECT_EQ(ControlText(hWnd, IDC_LABEL_RATE), "Requested Sample Rate");

    // Another process paints, and tells this one nothing: look until it has
    // (a loaded machine may take a while), then check what is on the screen.
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SetForegroundWindow(hWnd);
    RECT frame, window, group;
    GetWindowRect(GetDlgItem(hWnd, IDC_DISPLAY), &frame);
    GetWindowRect(hWnd, &window);
    GetWindowRect(GetDlgItem(hWnd, IDC_GROUP_FORMAT), &group);
    // Inside its frame the display is black from edge to edge.
    const int left = frame.left - window.left + 2, top = frame.top - window.top + 2;
    const int right = frame.right - window.left - 3, bottom = frame.bottom - window.top - 3;
    const int midX = (left + right) / 2, midY = (top + bottom) / 2;
    const std::pair<int, int> displayPoints[] = {
        {left, midY}, {right, midY}, {midX, top}, {midX, bottom}, {midX, midY}};
    // The left-hand controls are drawn: the group box "Sound format" holds
    // text and combo boxes, so its area is not one flat colour.
    auto differingInGroup = [&](const Screenshot& shot) {
        const COLORREF face = shot.At(group.left - window.left + 3, group.bottom - window.top - 3);
        int differing = 0;
        for (int y = group.top - window.top; y < group.bottom - window.top; ++y)
            for (int x = group.left - window.left; x < group.right - window.left; ++x)
                differing += shot.At(x, y) != face;
        return differing;
    };
    Screenshot shot;
    WaitUntil(
        [&] {
            shot = CaptureWindow(hWnd);
            for (auto [x, y] : displayPoints)
                if (shot.At(x, y) != RGB(0, 0, 0)) return false;
            return differingInGroup(shot) > 500;
        },
        10000);
    ASSERT_GT(shot.width, 300);
    EXPECT_TRUE(shot.SaveBmp(ArtefactFolder() + "\\main_window.bmp"));
    for (auto [x, y] : displayPoints) EXPECT_EQ(shot.At(x, y), RGB(0, 0, 0)) << "display at " << x << "," << y;
    EXPECT_GT(differingInGroup(shot), 500);
}

} // namespace

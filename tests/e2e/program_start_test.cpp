// Starting the real program: the install switch, and the window's place kept
// across restarts (moved and sized, closed with File > Exit, started again).
#include <gtest/gtest.h>

#include <string>

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

std::string RectText(HWND hWnd)
{
    RECT r = {};
    GetWindowRect(hWnd, &r);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

TEST(WindowPositionRestart, WindowComesBackWhereItWasOrAtTheTemplatePositionAfterMaximised)
{
    DeleteFileA(PositionFile().c_str());
    std::string original;
    {
        MirravoxProcess program;
        HWND hWnd = program.WaitForMainWindow(15000);
        ASSERT_NE(hWnd, nullptr);
        original = RectText(hWnd);
        ASSERT_TRUE(SetWindowPos(hWnd, nullptr, 140, 90, 760, 540, SWP_NOZORDER | SWP_NOACTIVATE));
        ASSERT_TRUE(program.Exit());
    }
    EXPECT_EQ(FileBytes(PositionFile()), "[POSITION]\r\n140,90,760,540\r\n");
    {
        MirravoxProcess again;
        HWND hWnd = again.WaitForMainWindow(15000);
        ASSERT_NE(hWnd, nullptr);
        EXPECT_EQ(RectText(hWnd), "140,90 760x540");
        // The layout followed the restored size: the display ends 8 pixels inside the client area.
        RECT client, display;
        GetClientRect(hWnd, &client);
        GetWindowRect(GetDlgItem(hWnd, IDC_DISPLAY), &display);
        MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&display), 2);
        EXPECT_EQ(display.right, client.right - 8);
        // Sent, not posted: it returns once the program has maximised its window.
        SendMessageA(hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ASSERT_TRUE(IsZoomed(hWnd)) << "the window was not maximised";
        ASSERT_TRUE(again.Exit());
    }
    EXPECT_EQ(FileBytes(PositionFile()), "");
    MirravoxProcess third;
    HWND hWnd = third.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(RectText(hWnd), original) << "the template position";
    EXPECT_TRUE(third.Exit());
    DeleteFileA(PositionFile().c_str());
}

} // namespace

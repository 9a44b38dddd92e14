// Starting the real program: the install switch, and the window's place kept
// across a restart (moved and sized, closed with File > Exit, started again).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver.h"

namespace {

TEST(Startup, InstallSwitchRunsStartUpAndExitsWithZero)
{
    for (const char* arg : {"/I", "/install"}) {
        MirravoxProcess program(arg);
        DWORD code = 1234;
        ASSERT_TRUE(program.WaitForExit(10000, &code)) << arg << " did not end: " << ProgramPath();
        EXPECT_EQ(code, 0u) << arg;
    }
}

TEST(WindowPositionRestart, WindowComesBackWhereItWas)
{
    DeleteFileA(PositionFile().c_str());
    {
        MirravoxProcess program;
        HWND hWnd = program.WaitForMainWindow(15000);
        ASSERT_NE(hWnd, nullptr);
        ASSERT_TRUE(SetWindowPos(hWnd, nullptr, 140, 90, 760, 540, SWP_NOZORDER | SWP_NOACTIVATE));
        ASSERT_TRUE(program.Exit());
    }
    EXPECT_EQ(FileBytes(PositionFile()), "[POSITION]\r\n140,90,760,540\r\n");
    MirravoxProcess again;
    HWND hWnd = again.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    RECT r;
    GetWindowRect(hWnd, &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{140, 90, 900, 630}));
    EXPECT_TRUE(again.Exit());
    DeleteFileA(PositionFile().c_str());
}

} // namespace

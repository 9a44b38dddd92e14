// The real program remembers where its window stood: it is moved and sized,
// closed with File > Exit and started again.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "driver.h"
#include "resource.h"

namespace {

std::string PositionFile()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\Keldane\\Keldane Mirravox\\mirravox.ini";
}

class WindowPositionRestart : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(PositionFile().c_str()); }
    void TearDown() override { DeleteFileA(PositionFile().c_str()); }
};

TEST_F(WindowPositionRestart, WindowComesBackWhereItWasOrAtTheTemplatePositionAfterMaximised)
{
    std::string original;
    {
        MirravoxProcess program;
        HWND hWnd = program.WaitForMainWindow(15000);
        ASSERT_NE(hWnd, nullptr);
        original = RectText(hWnd);
        ASSERT_TRUE(SetWindowPos(hWnd, nullptr, 140, 90, 760, 540, SWP_NOZORDER | SWP_NOACTIVATE));
        ASSERT_EQ(RectText(hWnd), "140,90 760x540");
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
}

} // namespace

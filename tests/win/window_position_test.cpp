// The position file moving the real main window, and the file written when
// the window closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/window_position.h"
#include "main_window_fixture.h"
#include "resource.h"

namespace {

class WindowPosition : public MainWindowFixture {
protected:
    void WriteFile(const std::string& bytes)
    {
        std::FILE* f = std::fopen(PositionFile().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::string ReadFile()
    {
        std::string bytes;
        std::FILE* f = std::fopen(PositionFile().c_str(), "rb");
        if (!f) return "(missing)";
        char buf[512];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) bytes.append(buf, n);
        std::fclose(f);
        return bytes;
    }
    void Place(int x, int y, int w, int h) { SetWindowPos(hWnd, nullptr, x, y, w, h, SWP_NOZORDER); }
    void ExpectWindowAt(int x, int y, int w, int h)
    {
        const RECT r = WindowRect();
        EXPECT_EQ(r.left, x);
        EXPECT_EQ(r.top, y);
        EXPECT_EQ(r.right - r.left, w);
        EXPECT_EQ(r.bottom - r.top, h);
    }
    // Writes the file, loads it with the window first put at 50, 60, 700 x 500.
    int Load(const std::string& bytes)
    {
        WriteFile(bytes);
        Place(50, 60, 700, 500);
        return LoadWindowPosition();
    }
};

TEST_F(WindowPosition, FileMovesAndSizesTheWindow)
{
    EXPECT_EQ(Load("[POSITION]\r\n10,20,800,600\r\n"), 1);
    ExpectWindowAt(10, 20, 800, 600);
    EXPECT_EQ(Load("[POSITION]\n10,20\n"), 1);
    ExpectWindowAt(10, 20, 665, 463);
    EXPECT_EQ(Load("[POSITION]\n\n"), 1);
    ExpectWindowAt(0, 0, 665, 463);
    EXPECT_EQ(Load(" [POSITION] saved by Mirravox\n30,40,720,480\n"), 1);
    ExpectWindowAt(30, 40, 720, 480);
    EXPECT_EQ(Load("[POSITION]\n-200,-100,700,500\n"), 1);
    ExpectWindowAt(-200, -100, 700, 500);
}

TEST_F(WindowPosition, WindowStaysWhereItWasForAFileThatSaysNothingUsable)
{
    const int screenW = GetSystemMetrics(SM_CXVIRTUALSCREEN), screenH = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    for (const std::string& bytes :
         {std::string("[POSITION]\nx\n"), std::string("[POSITION]\n"), std::string("POSITION\n10,20,800,600\n"),
          std::string(""), std::to_string(screenW) + "\n",
          "[POSITION]\n" + std::to_string(screenW) + ",0,800,600\n",
          "[POSITION]\n0," + std::to_string(screenH) + ",800,600\n"}) {
        EXPECT_EQ(Load(bytes), 1) << bytes;
        ExpectWindowAt(50, 60, 700, 500);
    }
    DeleteFileA(PositionFile().c_str());
    EXPECT_EQ(LoadWindowPosition(), 0);
    ExpectWindowAt(50, 60, 700, 500);
}

TEST_F(WindowPosition, SaveWritesPlaceAndSizeOrNothingWhenMaximisedOrMinimised)
{
    Place(120, 80, 700, 500);
    EXPECT_EQ(SaveWindowPosition(), 1);
    EXPECT_EQ(ReadFile(), "[POSITION]\r\n120,80,700,500\r\n");

    ShowWindow(hWnd, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(hWnd));
    EXPECT_EQ(SaveWindowPosition(), 1);
    EXPECT_EQ(ReadFile(), "");
    ShowWindow(hWnd, SW_RESTORE);

    Place(120, 80, 700, 500);
    SaveWindowPosition();
    ShowWindow(hWnd, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(hWnd));
    SaveWindowPosition();
    EXPECT_EQ(ReadFile(), "");
    ShowWindow(hWnd, SW_HIDE);
}

TEST_F(WindowPosition, ClosingTheWindowSavesItsPosition)
{
    Place(70, 90, 640, 480);
    Command(IDM_EXIT);
    ASSERT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(ReadFile(), "[POSITION]\r\n70,90,640,480\r\n");
}

TEST_F(WindowPosition, UnwritableFolderSavesNothing)
{
    const std::string saved = g_szSettingsDir;
    std::strcpy(g_szSettingsDir, (saved + "\\no such folder").c_str());
    EXPECT_EQ(SaveWindowPosition(), 0);
    EXPECT_EQ(LoadWindowPosition(), 0);
    std::strcpy(g_szSettingsDir, saved.c_str());
}

} // namespace

// The position file moving the real main window, and the file written when
// the window closes.
#include <fstream>
#include <string>

#include "app/position_file_win.h"
#include "main_window_fixture.h"
#include "platform/replacing_file.h"

namespace {

class WindowPosition : public MainWindowFixture {
protected:
    void Place(int x, int y, int w, int h) { SetWindowPos(hWnd, nullptr, x, y, w, h, SWP_NOZORDER); }
    std::string Where() const
    {
        const RECT r = WindowRect();
        return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
               std::to_string(r.bottom - r.top);
    }
};

// The reading's rules are tested natively; here the file reaches the window,
// and a place beyond the virtual screen leaves it where it was.
TEST_F(WindowPosition, FileMovesAndSizesTheWindowOrLeavesItWhereItWas)
{
    const std::string kStays = "50,60 700x500", screenW = std::to_string(GetSystemMetrics(SM_CXVIRTUALSCREEN));
    const struct {
        std::string bytes, where;
    } kCases[] = {
        {"[POSITION]\r\n10,20,800,600\r\n", "10,20 800x600"},
        {"[POSITION]\n" + screenW + ",0,800,600\n", kStays},
        {"[POSITION]\n0," + std::to_string(GetSystemMetrics(SM_CYVIRTUALSCREEN)) + ",800,600\n", kStays},
        {"", kStays}, // no file
    };
    for (const auto& c : kCases) {
        DeleteFileA(PositionFile().c_str());
        if (!c.bytes.empty()) std::ofstream(PositionFile(), std::ios::binary) << c.bytes;
        Place(50, 60, 700, 500);
        EXPECT_EQ(LoadWindowPosition(), !c.bytes.empty()) << c.bytes;
        EXPECT_EQ(Where(), c.where) << c.bytes;
    }
}

// Closing saves the place and size, or an empty file for a maximised or
// minimised window, frees the stores, then asks to quit.
TEST_F(WindowPosition, BothExitCommandsSaveThePositionCloseTheWindowAndAskToQuit)
{
    const struct {
        int id, show;
        const char* file;
    } kCases[] = {{IDM_EXIT, SW_SHOWNOACTIVATE, "[POSITION]\r\n70,90,640,480\r\n"},
                  {IDC_ALT_EXIT, SW_SHOWNOACTIVATE, "[POSITION]\r\n70,90,640,480\r\n"},
                  {IDM_EXIT, SW_MAXIMIZE, ""},
                  {IDM_EXIT, SW_MINIMIZE, ""}};
    for (const auto& c : kCases) {
        if (!IsWindow(hWnd)) hWnd = CreateMainWindow();
        Place(70, 90, 640, 480);
        ShowWindow(hWnd, c.show);
        Command(c.id);
        EXPECT_FALSE(IsWindow(hWnd)) << c.id;
        EXPECT_EQ(FileBytes(PositionFile()), c.file) << c.id << " " << c.show;
        MSG msg;
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << c.id;
        EXPECT_EQ(msg.wParam, 0u);
        EXPECT_EQ(g_pInputBuffer, nullptr) << "the stores are freed";
    }
}

// The new file replaces the old one only when it is complete.
size_t HalfWrite(const void* data, size_t, size_t count, std::FILE* file)
{
    return std::fwrite(data, 1, count / 2, file);
}

TEST_F(WindowPosition, FailedSaveKeepsTheOldFile)
{
    const std::string old = "[POSITION]\r\n1,2,3,4\r\n";
    std::ofstream(PositionFile(), std::ios::binary) << old;
    Place(120, 80, 700, 500);
    const FileOps halfDisk{nullptr, &HalfWrite, nullptr, nullptr, nullptr};
    SetFileOps(&halfDisk);
    EXPECT_EQ(SaveWindowPosition(), 0);
    SetFileOps(nullptr);
    EXPECT_EQ(FileBytes(PositionFile()), old);
    EXPECT_EQ(GetFileAttributesA((PositionFile() + kPartialSuffix).c_str()), INVALID_FILE_ATTRIBUTES);

    const std::string saved = g_szSettingsDir;
    std::strcpy(g_szSettingsDir, (saved + "\\no such folder").c_str());
    EXPECT_EQ(SaveWindowPosition(), 0);
    EXPECT_EQ(LoadWindowPosition(), 0);
    std::strcpy(g_szSettingsDir, saved.c_str());
    EXPECT_EQ(SaveWindowPosition(), 1); // and a whole write replaces the old file
    EXPECT_EQ(FileBytes(PositionFile()), "[POSITION]\r\n120,80,700,500\r\n");
}

} // namespace

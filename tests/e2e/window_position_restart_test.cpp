// The real program remembers where its window stood: it is moved and sized,
// closed with File > Exit and started again.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "driver.h"
#include "resource.h"

namespace {

// The settings folder of the program in this Wine prefix: the shared
// application-data folder, then "Keldane\Keldane Mirravox".
std::string PositionFile()
{
    char folder[MAX_PATH] = "";
    if (HMODULE shell = LoadLibraryA("shell32.dll")) {
        using GetFolderFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
        auto getFolder =
            reinterpret_cast<GetFolderFn>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathA")));
        if (getFolder) getFolder(nullptr, 35 /* shared application data */, nullptr, 0, folder);
        FreeLibrary(shell);
    }
    return std::string(folder) + "\\Keldane\\Keldane Mirravox\\mirravox.ini";
}

std::string FileBytes(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "(missing)";
    std::string bytes;
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

RECT RectOf(HWND hWnd)
{
    RECT r = {};
    GetWindowRect(hWnd, &r);
    return r;
}

::testing::AssertionResult SameRect(const RECT& a, const RECT& b)
{
    if (EqualRect(&a, &b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.left << "," << a.top << ")-(" << a.right << "," << a.bottom
                                         << ") differs from (" << b.left << "," << b.top << ")-(" << b.right << ","
                                         << b.bottom << ")";
}

// Exits with File > Exit and waits for the process to end with code 0.
void ExitProgram(MirravoxProcess& program)
{
    PostMessageA(program.MainWindow(), WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    DWORD code = 1234;
    ASSERT_TRUE(program.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
}

class WindowPositionRestart : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(PositionFile().c_str()); }
    void TearDown() override { DeleteFileA(PositionFile().c_str()); }

    // Starts the program with no position file and notes where the template
    // puts the window.
    RECT TemplateRect()
    {
        MirravoxProcess program;
        HWND hWnd = program.WaitForMainWindow(15000);
        if (!hWnd) return {};
        const RECT r = RectOf(hWnd);
        ExitProgram(program);
        return r;
    }
};

TEST_F(WindowPositionRestart, MovedAndResizedWindowComesBackAtTheSamePlaceAndSize)
{
    {
        MirravoxProcess program;
        HWND hWnd = program.WaitForMainWindow(15000);
        ASSERT_NE(hWnd, nullptr);
        ASSERT_TRUE(SetWindowPos(hWnd, nullptr, 140, 90, 760, 540, SWP_NOZORDER | SWP_NOACTIVATE));
        ASSERT_TRUE(SameRect(RectOf(hWnd), {140, 90, 900, 630}));
        ExitProgram(program);
    }
    EXPECT_EQ(FileBytes(PositionFile()), "[POSITION]\r\n140,90,760,540\r\n");

    MirravoxProcess again;
    HWND hWnd = again.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_TRUE(SameRect(RectOf(hWnd), {140, 90, 900, 630}));
    // The layout followed the restored size: the display ends 8 pixels
    // inside the client area.
    RECT client, display;
    GetClientRect(hWnd, &client);
    GetWindowRect(GetDlgItem(hWnd, IDC_DISPLAY), &display);
    MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&display), 2);
    EXPECT_EQ(display.right, client.right - 8);
}

TEST_F(WindowPositionRestart, WindowClosedMaximisedStartsAgainAtTheTemplatePosition)
{
    const RECT original = TemplateRect();
    ASSERT_GT(original.right, original.left);
    {
        MirravoxProcess program;
        HWND hWnd = program.WaitForMainWindow(15000);
        ASSERT_NE(hWnd, nullptr);
        SetWindowPos(hWnd, nullptr, 140, 90, 760, 540, SWP_NOZORDER | SWP_NOACTIVATE);
        // Sent, not posted: it returns once the program has maximised its window.
        SendMessageA(hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ASSERT_TRUE(IsZoomed(hWnd)) << "the window was not maximised";
        ExitProgram(program);
    }
    EXPECT_EQ(FileBytes(PositionFile()), "");

    MirravoxProcess again;
    HWND hWnd = again.WaitForMainWindow(15000);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_TRUE(SameRect(RectOf(hWnd), original));
}

} // namespace

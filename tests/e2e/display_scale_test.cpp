// The program at 96 and at 144 DPI, set as Wine's LogPixels in the private
// prefix before each start: the main window scales, the display keeps its
// share of it, and no label is cut (the in-process DpiLayout suite, run again
// at that DPI). Screenshots at both are kept as artefacts.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "resource.h"

namespace {

struct Measured {
    SIZE main;
    double displayShareX, displayShareY; // of the client area
};

Measured AtDpi(DWORD dpi)
{
    // Wine reads LogPixels when a process starts. The position file holds
    // pixels: a size saved at one DPI would hide the template's size at the other.
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    DeleteFileA(PositionFile().c_str());
    const std::string suffix = "_" + std::to_string(dpi) + "dpi";
    Measured m = {};
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    EXPECT_NE(hWnd, nullptr) << dpi << " DPI";
    if (!hWnd) return m;
    // Drawn: the display black but for its grid, scales and overlay; the
    // group box "Sound format" holding text and combo boxes.
    RECT display = InWindow(hWnd, IDC_DISPLAY), client;
    GetClientRect(hWnd, &client);
    m.displayShareX = double(display.right - display.left) / client.right;
    m.displayShareY = double(display.bottom - display.top) / client.bottom;
    InflateRect(&display, -3, -3);
    const int area = (display.right - display.left) * (display.bottom - display.top);
    const RECT group = InWindow(hWnd, IDC_GROUP_FORMAT);
    auto drawn = [&](const Screenshot& s) {
        return s.At(display.left, display.top) == 0 && s.Differing(display) < area / 4 && s.Differing(group) > 500;
    };
    const Screenshot shot = KeepShot(hWnd, "main_window" + suffix + ".bmp", drawn);
    EXPECT_TRUE(drawn(shot)) << "the main window at " << dpi << " DPI is not drawn";
    m.main = {shot.width, shot.height};

    HWND about = program.OpenDialog(IDM_ABOUT, "Keldane Mirravox");
    EXPECT_NE(about, nullptr) << "no About box at " << dpi << " DPI";
    if (about) {
        const RECT picture = InWindow(about, IDC_ABOUT_PICTURE);
        auto pictureDrawn = [&](const Screenshot& s) { return s.Differing(picture) > 1000; };
        EXPECT_TRUE(pictureDrawn(KeepShot(about, "about_box" + suffix + ".bmp", pictureDrawn)));
        PressButton(about, IDOK);
        EXPECT_TRUE(WaitGone(about));
    }
    EXPECT_TRUE(program.Exit());

    // The in-process layout checks at this DPI; their output is kept.
    std::string tests = ProgramPath();
    tests = tests.substr(0, tests.rfind('\\')) + "\\tests\\win\\win_tests.exe";
    const std::string output = Artefact("dpi_layout" + suffix + ".txt");
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    const DWORD code = RunAndWait("\"" + tests + "\" --gtest_filter=DpiLayout.*", 60000, file);
    CloseHandle(file);
    EXPECT_EQ(code, 0u) << "at " << dpi << " DPI:\n" << FileBytes(output);
    return m;
}

TEST(DisplayScale, WindowsScaleAndNoLabelIsCutAt96And144Dpi)
{
    const std::string aside = PositionFile() + ".aside";
    MoveFileExA(PositionFile().c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING);
    const Measured small = AtDpi(96), large = AtDpi(144);
    MoveFileExA(aside.c_str(), PositionFile().c_str(), MOVEFILE_REPLACE_EXISTING);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
    ASSERT_GT(small.main.cx, 0);
    // Dialog units follow the dialog font, which follows the DPI: the window
    // grows by about 144 / 96 (the font's pixel sizes are whole numbers).
    EXPECT_NEAR(double(large.main.cx) / small.main.cx, 1.5, 0.15);
    EXPECT_NEAR(double(large.main.cy) / small.main.cy, 1.5, 0.15);
    EXPECT_NEAR(large.displayShareX, small.displayShareX, 0.03);
    EXPECT_NEAR(large.displayShareY, small.displayShareY, 0.03);
}

} // namespace

// The program at 96 and at 144 DPI, set as Wine's LogPixels in the private
// prefix before each start: the windows scale, the display keeps its share
// of the main window, and no label is cut (the in-process DpiLayout suite,
// run again at that DPI). Screenshots at both are kept as artefacts.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "resource.h"

namespace {

// The screen's DPI of every process started after it (Wine reads LogPixels
// when a process starts); absent, Wine's own 96.
void SetSystemDpi(DWORD dpi)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof(dpi));
}

SIZE SizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }

struct Measured {
    SIZE main, client, display, about;
};

Measured AtDpi(DWORD dpi)
{
    SetSystemDpi(dpi);
    // The position file holds pixels: a size saved at one DPI would hide the template's size at the other.
    DeleteFileA(PositionFile().c_str());
    const std::string suffix = "_" + std::to_string(dpi) + "dpi";
    Measured m = {};
    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    EXPECT_NE(hWnd, nullptr) << dpi << " DPI";
    if (!hWnd) return m;
    // Drawn: the display black but for its grid, scales and overlay; the
    // group box "Sound format" holding text and combo boxes.
    RECT display = InWindow(hWnd, IDC_DISPLAY);
    InflateRect(&display, -3, -3);
    const SIZE area = SizeOf(display);
    const RECT group = InWindow(hWnd, IDC_GROUP_FORMAT);
    auto drawn = [&](const Screenshot& s) {
        return s.At(display.left, display.top) == 0 && s.Differing(display) < area.cx * area.cy / 4 &&
               s.Differing(group) > 500;
    };
    const Screenshot shot = KeepShot(hWnd, "main_window" + suffix + ".bmp", drawn);
    EXPECT_TRUE(drawn(shot)) << "the main window at " << dpi << " DPI is not drawn";
    if (dpi == 96) shot.SaveBmp(Artefact("main_window.bmp"));
    m.main = {shot.width, shot.height};
    RECT client = {};
    GetClientRect(hWnd, &client);
    m.client = SizeOf(client);
    m.display = SizeOf(InWindow(hWnd, IDC_DISPLAY));

    HWND about = program.OpenDialog(IDM_ABOUT, "Keldane Mirravox");
    EXPECT_NE(about, nullptr) << "no About box at " << dpi << " DPI";
    if (about) {
        const RECT picture = InWindow(about, IDC_ABOUT_PICTURE);
        auto pictureDrawn = [&](const Screenshot& s) { return s.Differing(picture) > 1000; };
        const Screenshot box = KeepShot(about, "about_box" + suffix + ".bmp", pictureDrawn);
        EXPECT_TRUE(pictureDrawn(box)) << "the About picture is not drawn";
        if (dpi == 96) box.SaveBmp(Artefact("about_box.bmp"));
        m.about = {box.width, box.height};
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
    ASSERT_GT(small.about.cx, 0);

    // Dialog units follow the dialog font, which follows the DPI: each window
    // grows by about 144 / 96 (the font's pixel sizes are whole numbers).
    const struct {
        const char* what;
        SIZE at96, at144;
    } kWindows[] = {{"main window", small.main, large.main}, {"About box", small.about, large.about}};
    for (const auto& w : kWindows) {
        EXPECT_NEAR(double(w.at144.cx) / w.at96.cx, 1.5, 0.15) << w.what << " width";
        EXPECT_NEAR(double(w.at144.cy) / w.at96.cy, 1.5, 0.15) << w.what << " height";
    }
    // The display keeps its share of the main window.
    EXPECT_NEAR(double(large.display.cx) / large.client.cx, double(small.display.cx) / small.client.cx, 0.03);
    EXPECT_NEAR(double(large.display.cy) / large.client.cy, double(small.display.cy) / small.client.cy, 0.03);
}

} // namespace

// The program at 96 and at 144 DPI, set as Wine's LogPixels in the private
// prefix before each start: the windows scale, the display keeps its share
// of the main window, and no label is cut (the in-process DpiLayout suite,
// run again at that DPI). Screenshots at both are kept as artefacts.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "resource.h"

namespace {

// The screen's DPI of every process started while it lives (Wine reads
// LogPixels when a process starts); the earlier setting comes back after.
class SystemDpi {
public:
    explicit SystemDpi(DWORD dpi)
    {
        DWORD bytes = sizeof(m_earlier);
        m_bHad = RegGetValueA(HKEY_CURRENT_USER, kKey, "LogPixels", RRF_RT_REG_DWORD, nullptr, &m_earlier, &bytes) ==
                 ERROR_SUCCESS;
        RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    }
    ~SystemDpi()
    {
        if (m_bHad)
            RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "LogPixels", REG_DWORD, &m_earlier, sizeof(m_earlier));
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "LogPixels");
    }
    SystemDpi(const SystemDpi&) = delete;
    SystemDpi& operator=(const SystemDpi&) = delete;

private:
    static constexpr char kKey[] = "Control Panel\\Desktop";
    DWORD m_earlier = 96;
    bool m_bHad = false;
};

// The position file holds pixels: a size saved at one DPI would hide the
// template's size at the other. It is put aside while the test runs.
class PositionFileAside {
public:
    PositionFileAside()
    {
        char shared[MAX_PATH] = "";
        SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shared);
        m_path = std::string(shared) + "\\Keldane\\Keldane Mirravox\\mirravox.ini";
        m_aside = m_path + ".aside";
        MoveFileExA(m_path.c_str(), m_aside.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ~PositionFileAside() { MoveFileExA(m_aside.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING); }
    void Forget() const { DeleteFileA(m_path.c_str()); }

private:
    std::string m_path, m_aside;
};

SIZE SizeOf(HWND hWnd)
{
    RECT r = {};
    GetWindowRect(hWnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

struct Measured {
    SIZE main, client, display, about;
};

// Runs the in-process layout checks at the current DPI; their output is kept.
bool LayoutChecksPass(const std::string& output)
{
    std::string exe = ProgramPath();
    exe = exe.substr(0, exe.rfind('\\')) + "\\tests\\win\\win_tests.exe";
    std::string command = "\"" + exe + "\" --gtest_filter=DpiLayout.*";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = file;
    PROCESS_INFORMATION pi = {};
    DWORD code = 1;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(file);
    return code == 0;
}

Measured AtDpi(DWORD dpi, const PositionFileAside& position)
{
    SystemDpi scope(dpi);
    position.Forget();
    const std::string suffix = "_" + std::to_string(dpi) + "dpi";
    Measured m = {};

    MirravoxProcess program;
    HWND hWnd = program.WaitForMainWindow(15000);
    EXPECT_NE(hWnd, nullptr) << dpi << " DPI";
    if (!hWnd) return m;
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300); // another process paints: there is nothing to wait on but time
    EXPECT_TRUE(CaptureWindow(hWnd).SaveBmp(ArtefactFolder() + "\\main_window" + suffix + ".bmp"));
    RECT client = {};
    GetClientRect(hWnd, &client);
    m.main = SizeOf(hWnd);
    m.client = {client.right, client.bottom};
    m.display = SizeOf(GetDlgItem(hWnd, IDC_DISPLAY));

    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 0), 0);
    HWND about = program.WaitForDialog("Keldane Mirravox", 5000);
    EXPECT_NE(about, nullptr) << "no About box at " << dpi << " DPI";
    if (about) {
        RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);
        EXPECT_TRUE(CaptureWindow(about).SaveBmp(ArtefactFolder() + "\\about_box" + suffix + ".bmp"));
        m.about = SizeOf(about);
        PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
    }
    EXPECT_TRUE(program.Exit());

    const std::string output = ArtefactFolder() + "\\dpi_layout" + suffix + ".txt";
    EXPECT_TRUE(LayoutChecksPass(output)) << "at " << dpi << " DPI:\n" << FileBytes(output);
    return m;
}

TEST(DisplayScale, WindowsScaleAndNoLabelIsCutAt96And144Dpi)
{
    PositionFileAside position;
    const Measured small = AtDpi(96, position), large = AtDpi(144, position);
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

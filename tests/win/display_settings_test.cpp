// The display settings dialog read back from its real template, the CPU load
// monitor it switches off and on, and the Windows load sources.
#include <string>
#include <vector>

#include "display/cpu_load_monitor.h"
#include "display/cpu_load_sources_win.h"
#include "display/cpu_load_win.h"
#include "display/display_settings_win.h"
#include "main_window_fixture.h"
#include "state/window_timers.h"

namespace {

// The check boxes in the order of the flags below.
const int kBoxes[] = {IDC_SHOW_CPU_LOAD,   IDC_SHOW_AVG_CPU_LOAD, IDC_SHOW_STATUS,  IDC_SHOW_GRID,
                      IDC_SHOW_VIEW_RANGE, IDC_SHOW_FRAME_RATE,   IDC_SHOW_POSITION};
int32_t* const kFlags[] = {&g_bShowCpuLoad,   &g_bShowAvgCpuLoad, &g_bShowStatus,  &g_bShowGrid,
                           &g_bShowViewRange, &g_bShowFrameRate,  &g_bShowPosition};

// The seven flags as a string of 0 and 1, then the source.
std::string Flags()
{
    std::string s;
    for (int32_t* flag : kFlags) s += char('0' + *flag);
    return s + " " + std::to_string(g_nDisplaySource);
}
void SetFlags(const std::string& flags)
{
    for (size_t i = 0; i < 7; ++i) *kFlags[i] = flags[i] - '0';
    g_nDisplaySource = flags[8] - '0';
}

// What the dialog shows, in the same form.
std::string Shown(HWND dialog)
{
    std::string s;
    for (int id : kBoxes) s += IsDlgButtonChecked(dialog, id) == BST_CHECKED ? '1' : '0';
    s += ' ';
    for (int id : {IDC_SOURCE_INPUT, IDC_SOURCE_OUTPUT, IDC_SOURCE_BOTH})
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) s += std::to_string(id - IDC_SOURCE_INPUT);
    return s;
}

// A load source that reports a fixed load, counting the monitors made.
int s_opened = 0;
struct FixedSource : CpuLoadSource {
    int Sample(int* percent) override
    {
        *percent = 42;
        return 0;
    }
};
std::unique_ptr<CpuLoadSource> OpenFixed()
{
    ++s_opened;
    return std::make_unique<FixedSource>();
}
std::unique_ptr<CpuLoadSource> OpenFailing() { throw MessageBoxId::CpuPdhCall; }

class DisplaySettings : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ResetDisplayFlags();
        s_opened = 0;
        SetCpuLoadSourceOpener(&OpenFixed);
    }
    void TearDown() override
    {
        DestroyCpuMonitor();
        SetCpuLoadSourceOpener(nullptr);
        ResetDisplayFlags();
        MainWindowFixture::TearDown();
    }
    // Runs the command; the dialog is read, the controls clicked, then
    // closed with button. Returns what the dialog showed when it opened.
    std::string RunDialog(const std::vector<int>& clicks, int button)
    {
        std::string shown;
        MessageBoxCatcher dialog(button, BoxThreads::ThisThread, [&](HWND box) {
            char caption[64] = "";
            GetWindowTextA(box, caption, sizeof(caption));
            if (std::string(caption) != "Display settings") return;
            shown = Shown(box);
            for (int id : clicks) SendDlgItemMessageA(box, id, BM_CLICK, 0, 0);
        });
        Command(IDM_DISPLAY_SETTINGS);
        return shown;
    }
    // Whether timer 2 runs; it is started again after the look.
    bool CpuTimerRuns()
    {
        if (!KillTimer(hWnd, kCpuLoadTimer)) return false;
        SetTimer(hWnd, kCpuLoadTimer, kCpuLoadIntervalMs, nullptr);
        return true;
    }
};

TEST_F(DisplaySettings, ShowsTheFlagsAndOkTakesTheControlsCancelNothing)
{
    struct Case {
        const char* before;
        std::vector<int> clicks;
        int button;
        const char* after;
    };
    const std::vector<Case> cases = {
        {"1111111 2", {IDC_SHOW_GRID, IDC_SHOW_POSITION, IDC_SOURCE_INPUT}, IDOK, "1110110 0"},
        {"0000000 0", {IDC_SHOW_CPU_LOAD, IDC_SHOW_FRAME_RATE, IDC_SOURCE_OUTPUT}, IDOK, "1000010 1"},
        {"1010101 1",
         {IDC_SHOW_AVG_CPU_LOAD, IDC_SHOW_STATUS, IDC_SHOW_VIEW_RANGE, IDC_SOURCE_BOTH},
         IDOK,
         "1100001 2"},
        {"0101010 2", {}, IDOK, "0101010 2"},
        {"1111111 2", {IDC_SHOW_CPU_LOAD, IDC_SHOW_STATUS, IDC_SOURCE_OUTPUT}, IDCANCEL, "1111111 2"},
        {"0110011 1", {IDC_SHOW_GRID, IDC_SOURCE_INPUT}, IDCANCEL, "0110011 1"},
    };
    for (const Case& c : cases) {
        SetFlags(c.before);
        EXPECT_EQ(RunDialog(c.clicks, c.button), c.before) << "shown for " << c.before;
        EXPECT_EQ(Flags(), c.after) << c.before << (c.button == IDOK ? " OK" : " Cancel");
    }
}

TEST_F(DisplaySettings, BothCpuLinesOffRemovesTheMonitorAndOneOnBuildsAFreshOne)
{
    // Cancel with the lines on: the monitor is made from the unchanged flags.
    RunDialog({IDC_SHOW_CPU_LOAD}, IDCANCEL);
    ASSERT_NE(g_pCpuLoad, nullptr);
    EXPECT_TRUE(CpuTimerRuns());
    SendMessageA(hWnd, WM_TIMER, kCpuLoadTimer, 0);
    EXPECT_EQ(g_nCpuLoad, 42);
    EXPECT_FLOAT_EQ(g_fAvgCpuLoad, 42.0f);

    RunDialog({IDC_SHOW_CPU_LOAD}, IDOK); // the average line still wants it
    EXPECT_EQ(s_opened, 1);
    RunDialog({IDC_SHOW_AVG_CPU_LOAD}, IDOK);
    EXPECT_EQ(g_pCpuLoad, nullptr);
    EXPECT_FALSE(CpuTimerRuns());
    SendMessageA(hWnd, WM_TIMER, kCpuLoadTimer, 0);
    EXPECT_EQ(g_nCpuLoad, 0);

    RunDialog({IDC_SHOW_AVG_CPU_LOAD}, IDOK);
    ASSERT_NE(g_pCpuLoad, nullptr);
    EXPECT_EQ(s_opened, 2);
    EXPECT_EQ(g_pCpuLoad->m_nHistoryIndex, -1) << "a new monitor starts with no history";
    EXPECT_TRUE(CpuTimerRuns());
}

TEST_F(DisplaySettings, AMonitorThatCannotBeMadeIsReportedAtEveryCloseWithACpuLineOn)
{
    SetCpuLoadSourceOpener(&OpenFailing);
    MessageBoxCatcher boxes(IDOK, BoxThreads::ThisThread, [](HWND box) {
        char caption[64] = "";
        GetWindowTextA(box, caption, sizeof(caption));
        if (std::string(caption) == "Display settings") PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    Command(IDM_DISPLAY_SETTINGS);
    Command(IDM_DISPLAY_SETTINGS);
    std::vector<CaughtBox> errors;
    for (const CaughtBox& box : boxes.Boxes())
        if (box.caption != "Display settings") errors.push_back(box);
    ASSERT_EQ(errors.size(), 2u);
    for (const CaughtBox& box : errors) {
        EXPECT_EQ(box.text, "PDH function call error.");
        EXPECT_EQ(box.caption, "Error while getting CPU load information");
        EXPECT_EQ(box.icon, "exclamation");
    }
    EXPECT_EQ(g_pCpuLoad, nullptr);
    EXPECT_TRUE(CpuTimerRuns()) << "timer 2 runs without a monitor and shows 0";
}

// Wine is of the NT family and has GetSystemTimes; its PDH knows the
// processor-time counter only by this spelling of the path.
TEST(CpuLoadSources, SystemTimesAndThePdhCounterOpenUnderWine)
{
    EXPECT_TRUE(IsWinNT());
    auto times = OpenSystemTimesSource();
    ASSERT_NE(times, nullptr);
    Sleep(50);
    int load = -1;
    EXPECT_EQ(times->Sample(&load), 0);
    EXPECT_GE(load, 0);
    EXPECT_LE(load, 100);
    try {
        auto pdh = OpenPdhSource();
        EXPECT_EQ(pdh->Sample(&load), 0);
    } catch (MessageBoxId box) {
        ADD_FAILURE() << MessageBoxTextOf(box).pszText;
    }
}

} // namespace

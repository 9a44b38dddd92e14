// The display settings dialog from its real template, the CPU load monitor
// it switches off and on, and the Windows load sources.
#include <string>
#include <vector>

#include "display/cpu_load_monitor.h"
#include "display/cpu_load_sources_win.h"
#include "display/cpu_load_win.h"
#include "display/display_settings_win.h"
#include "main_window_fixture.h"
#include "state/window_timers.h"

namespace {

// The check boxes and their flags in the same order; the flags read as "0101010 2", the last digit the source.
const int kBoxes[] = {IDC_SHOW_CPU_LOAD,   IDC_SHOW_AVG_CPU_LOAD, IDC_SHOW_STATUS,  IDC_SHOW_GRID,
                      IDC_SHOW_VIEW_RANGE, IDC_SHOW_FRAME_RATE,   IDC_SHOW_POSITION};
int32_t* const kFlags[] = {&g_bShowCpuLoad,   &g_bShowAvgCpuLoad, &g_bShowStatus,  &g_bShowGrid,
                           &g_bShowViewRange, &g_bShowFrameRate,  &g_bShowPosition};

std::string Flags()
{
    std::string s;
    for (int32_t* flag : kFlags) s += char('0' + *flag);
    return s + " " + std::to_string(g_nDisplaySource);
}

int s_opened = 0; // load sources made
struct FixedSource : CpuLoadSource {
    int Sample(int* percent) override { return *percent = 42, 0; }
};

class DisplaySettings : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        s_opened = 0;
        SetCpuLoadSourceOpener([]() -> std::unique_ptr<CpuLoadSource> {
            ++s_opened;
            return std::make_unique<FixedSource>();
        });
    }
    void TearDown() override
    {
        DestroyCpuMonitor();
        SetCpuLoadSourceOpener(nullptr);
        ResetDisplayFlags();
        MainWindowFixture::TearDown();
    }
    // Clicks the dialog's controls, then closes it with button. Returns the
    // flags the dialog showed when it opened; the other boxes go to boxes.
    std::string RunDialog(const std::vector<int>& clicks, int button)
    {
        std::string shown;
        MessageBoxCatcher dialog(button, BoxThreads::ThisThread, [&](HWND box) {
            if (!GetDlgItem(box, IDC_SOURCE_BOTH) || !shown.empty()) return; // once, in the dialog
            for (int id : kBoxes) shown += IsDlgButtonChecked(box, id) == BST_CHECKED ? '1' : '0';
            shown += ' ';
            for (int id : {IDC_SOURCE_INPUT, IDC_SOURCE_OUTPUT, IDC_SOURCE_BOTH})
                if (IsDlgButtonChecked(box, id) == BST_CHECKED) shown += std::to_string(id - IDC_SOURCE_INPUT);
            for (int id : clicks) SendDlgItemMessageA(box, id, BM_CLICK, 0, 0);
        });
        Command(IDM_DISPLAY_SETTINGS);
        for (const CaughtBox& box : dialog.Boxes())
            if (box.caption != "Display settings") boxes.push_back(box);
        return shown;
    }
    bool CpuTimerRuns() // and starts it again
    {
        return KillTimer(hWnd, kCpuLoadTimer) && SetTimer(hWnd, kCpuLoadTimer, kCpuLoadIntervalMs, nullptr);
    }
    std::vector<CaughtBox> boxes;
};

TEST_F(DisplaySettings, ShowsTheFlagsAndOkTakesTheControlsCancelNothing)
{
    const std::vector<int> kAll(std::begin(kBoxes), std::end(kBoxes));
    const struct {
        const char* before;
        std::vector<int> clicks;
        int button;
        const char* after;
    } kCases[] = {
        {"1010101 1", {IDC_SOURCE_BOTH}, IDOK, "1010101 2"},
        {"0101010 2", {IDC_SOURCE_INPUT}, IDOK, "0101010 0"},
        {"1100110 0", {IDC_SOURCE_OUTPUT}, IDOK, "1100110 1"},
        {"0011001 1", kAll, IDOK, "1100110 1"},
        {"1111111 2", {IDC_SHOW_CPU_LOAD, IDC_SHOW_STATUS, IDC_SOURCE_OUTPUT}, IDCANCEL, "1111111 2"},
    };
    for (const auto& c : kCases) {
        for (size_t i = 0; i < 7; ++i) *kFlags[i] = c.before[i] - '0';
        g_nDisplaySource = c.before[8] - '0';
        EXPECT_EQ(RunDialog(c.clicks, c.button), c.before) << "shown";
        EXPECT_EQ(Flags(), c.after) << c.before << (c.button == IDOK ? " OK" : " Cancel");
    }
}

TEST_F(DisplaySettings, BothCpuLinesOffRemovesTheMonitorAndOneOnBuildsAFreshOne)
{
    RunDialog({IDC_SHOW_CPU_LOAD}, IDCANCEL); // the monitor is made from the unchanged flags
    ASSERT_NE(g_pCpuLoad, nullptr);
    EXPECT_TRUE(CpuTimerRuns());
    SendMessageA(hWnd, WM_TIMER, kCpuLoadTimer, 0);
    EXPECT_EQ(g_nCpuLoad, 42);
    RunDialog({IDC_SHOW_CPU_LOAD}, IDOK); // the average line still wants it
    RunDialog({IDC_SHOW_AVG_CPU_LOAD}, IDOK);
    EXPECT_EQ(g_pCpuLoad, nullptr);
    EXPECT_FALSE(CpuTimerRuns());
    SendMessageA(hWnd, WM_TIMER, kCpuLoadTimer, 0);
    EXPECT_EQ(g_nCpuLoad, 0);
    RunDialog({IDC_SHOW_AVG_CPU_LOAD}, IDOK);
    ASSERT_NE(g_pCpuLoad, nullptr);
    EXPECT_EQ(s_opened, 2) << "kept while one line is on, then a fresh monitor";
    EXPECT_TRUE(CpuTimerRuns());
}

TEST_F(DisplaySettings, AMonitorThatCannotBeMadeIsReportedAtEveryCloseWithACpuLineOn)
{
    SetCpuLoadSourceOpener([]() -> std::unique_ptr<CpuLoadSource> { throw MessageBoxId::CpuPdhCall; });
    RunDialog({}, IDOK);
    RunDialog({}, IDOK);
    ASSERT_EQ(boxes.size(), 2u);
    for (const CaughtBox& box : boxes)
        EXPECT_EQ(box.text + "|" + box.caption + "|" + box.icon,
                  "PDH function call error.|Error while getting CPU load information|exclamation");
    EXPECT_EQ(g_pCpuLoad, nullptr);
    EXPECT_TRUE(CpuTimerRuns()) << "timer 2 runs without a monitor and shows 0";
}

// Wine is of the NT family and has GetSystemTimes; its PDH knows the
// processor-time counter only by this spelling of the path.
TEST(CpuLoadSources, SystemTimesAndThePdhCounterOpenUnderWine)
{
    EXPECT_TRUE(IsWinNT());
    EXPECT_NE(OpenSystemTimesSource(), nullptr); // its figures: CpuLoadMeasure
    try {
        int load = -1;
        EXPECT_EQ(OpenPdhSource()->Sample(&load), 0);
    } catch (MessageBoxId box) {
        ADD_FAILURE() << MessageBoxTextOf(box).pszText;
    }
}

} // namespace

// The statistics fields of the real main window on the stepped simulated
// device: the final update at Stop and the lost-output-device rule; and the
// CPU load against /proc/stat.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "audio/statistics_win.h"
#include "audio/transfer_statistics.h"
#include "display/cpu_load_sources_win.h"
#include "platform/sync.h"
#include "shell/message_boxes.h"
#include "sim_window_fixture.h"
#include "state/window_timers.h"

namespace {

using TransferFields = SimWindowFixture;

// A statistics tick half a second after the last: every kept counter reading
// moves back by that much first.
void TickHalfASecondLater(HWND hWnd)
{
    const int64_t half = g_liPerfFrequency / 2;
    g_liPlaybackStart -= half;
    g_liCaptureStart -= half;
    for (RateSamples* h : {&g_InSamples, &g_OutSamples}) h->lastTime -= half, h->priorTime -= half;
    SendMessageA(hWnd, WM_TIMER, kStatisticsTimer, 0);
}

TEST_F(TransferFields, StopLeavesTheFinalUpdateOfARecordingInTheFields)
{
    Command(IDC_RECORD);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 30), 30);
    Command(IDC_STOP);
    EXPECT_GT(std::atoi(Text(IDC_ACTUAL_IN).c_str()), 0) << "the bytes of this session since its start";
    EXPECT_EQ(Text(IDC_FILL_IN), "0% 0.0MB 1.4Sec") << "15360 bytes in a 2 MB store";
    EXPECT_EQ(Text(IDC_AVERAGE_OUT), "0 (-100.00%)");
    EXPECT_EQ(Text(IDC_ACTUAL_OUT), "0");
    EXPECT_EQ(Text(IDC_FILL_OUT), "0% 0.0MB 0.0Sec") << "no playback: the Out field keeps its text";
}

TEST_F(TransferFields, OutputDeviceSilentForTwoSecondsEndsTheProgramWithItsMessage)
{
    Command(IDM_SINE_1K);
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 40), 40);
    g_liPlaybackStart = SyncCounter() - 5 * g_liPerfFrequency / 2; // it has played for 3 s when its device falls silent
    TickHalfASecondLater(hWnd);
    EXPECT_NE(Text(IDC_ACTUAL_OUT), "0");
    SimSetStall(kSimOutput, true);
    MessageBoxCatcher catcher(IDOK);
    for (int tick = 1; tick <= 4; ++tick) {
        TickHalfASecondLater(hWnd);
        EXPECT_EQ(catcher.Boxes().size(), tick / 4u) << "tick " << tick;
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(Shown(catcher.Boxes()[0]), std::string("Lost Output Device [exclamation] ") +
                                             MessageBoxTextOf(MessageBoxId::LostOutputDevice).pszText);
    EXPECT_FALSE(g_bPlaying);
    EXPECT_EQ(Text(IDC_ACTUAL_OUT), "0");
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program ends";
    EXPECT_EQ(quit.wParam, 0u);
    SimSetStall(kSimOutput, false);
    EXPECT_TRUE(PumpUntil([] { return !PlaybackSessionActive(); }, kDeadlineMs))
        << "the playback thread closes its device";
}

// The machine's busy and total times as /proc/stat counts them, read through Wine's drive Z:.
std::pair<double, double> ProcStatTimes()
{
    std::ifstream stat("Z:\\proc\\stat");
    std::string line, cpu;
    std::getline(stat, line);
    std::istringstream in(line);
    double t[8] = {}; // user nice system idle iowait irq softirq steal
    in >> cpu;
    for (double& v : t) in >> v;
    const double total = t[0] + t[1] + t[2] + t[3] + t[4] + t[5] + t[6] + t[7];
    return {total - t[3] - t[4], total};
}

TEST(CpuLoadMeasure, AgreesWithProcStatWhileAThreadKeepsOneCoreBusy)
{
    if (ProcStatTimes().second == 0) GTEST_SKIP() << "no /proc/stat";
    std::atomic<bool> stop{false};
    std::thread busy([&] {
        volatile uint64_t n = 0;
        while (!stop) ++n;
    });
    std::unique_ptr<CpuLoadSource> source = OpenSystemTimesSource();
    ASSERT_NE(source, nullptr);
    // Three one-second samples, as timer 2 takes them, each against /proc/stat over the same second.
    for (int second = 0; second < 3; ++second) {
        const auto before = ProcStatTimes();
        int load = -1;
        source->Sample(&load); // the start of this second
        Sleep(1000);
        EXPECT_EQ(source->Sample(&load), 0);
        const auto after = ProcStatTimes();
        const double proc = 100.0 * (after.first - before.first) / (after.second - before.second);
        std::printf("[ measured ] CPU load over 1 s: shown %d%%, /proc/stat %.1f%%\n", load, proc);
        EXPECT_NEAR(load, proc, 5.0);
    }
    stop = true;
    busy.join();
}

} // namespace

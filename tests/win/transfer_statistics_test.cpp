// The statistics fields of the real main window: the final update at Stop,
// the lost-output-device rule on the stepped simulated device, and, on the
// real devices, Average In against the bytes recorded and the CPU load
// against /proc/stat.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "audio/statistics_win.h"
#include "audio/transfer_statistics.h"
#include "audio/wave.h"
#include "devices/device_lists.h"
#include "display/cpu_load_monitor.h"
#include "display/cpu_load_sources_win.h"
#include "main_window_fixture.h"
#include "platform/sim_wave_device.h"
#include "platform/sync.h"
#include "platform/winmm_device_win.h"
#include "state/window_timers.h"

namespace {

class TransferFields : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        ChooseDefaultDevices(); // the ids the start-up chose on winmm's lists mean nothing here
        SimSetStepped(true);
    }
    void TearDown() override
    {
        SimSetStall(kSimOutput, false);
        StopAll(hWnd);
        PumpUntil([] { return !CaptureSessionActive() && !PlaybackSessionActive(); }, 5000);
        MainWindowFixture::TearDown();
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(WinmmWaveDeviceTable());
    }
    void Tick() { SendMessageA(hWnd, WM_TIMER, kStatisticsTimer, 0); }
    // Half a second passes before the next tick: every counter reading kept
    // moves back by that much.
    static void HalfSecondPasses()
    {
        const int64_t half = g_liPerfFrequency / 2;
        g_liPlaybackStart -= half;
        g_liCaptureStart -= half;
        for (RateSamples* h : {&g_InSamples, &g_OutSamples}) {
            h->lastTime -= half;
            h->priorTime -= half;
        }
    }
    // The rate and the deviation of an average field; the deviation printed
    // must be the one of the rate printed.
    void ExpectConsistentAverage(int id, int32_t requested)
    {
        const std::string text = Text(id);
        int rate = -1;
        float deviation = 0;
        ASSERT_EQ(std::sscanf(text.c_str(), "%d (%f%%)", &rate, &deviation), 2) << text;
        const double expected = 100.0 * (rate - requested) / requested;
        EXPECT_NEAR(deviation, expected, 0.005 + 1e-6 * std::fabs(expected)) << text; // a float's precision
    }
};

TEST_F(TransferFields, StopLeavesTheFinalUpdateOfARecordingInTheFields)
{
    Command(IDC_RECORD);
    ASSERT_TRUE(g_bRecording);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 30),
              30); // 15360 bytes at 8-bit mono 11025 Hz
    Command(IDC_STOP);
    const int64_t total = 30 * 512;
    int actual = 0;
    ASSERT_EQ(std::sscanf(Text(IDC_ACTUAL_IN).c_str(), "%d", &actual), 1);
    EXPECT_GT(actual, 0) << "the bytes of this session since its start";
    ExpectConsistentAverage(IDC_AVERAGE_IN, 11025);
    EXPECT_EQ(Text(IDC_FILL_IN), "0% 0.0MB 1.4Sec") << total << " bytes in a 2 MB store";
    EXPECT_EQ(Text(IDC_AVERAGE_OUT), "0 (-100.00%)");
    EXPECT_EQ(Text(IDC_ACTUAL_OUT), "0");
    EXPECT_EQ(Text(IDC_FILL_OUT), "0% 0.0MB 0.0Sec") << "no playback: the Out field keeps its text";
}

TEST_F(TransferFields, OutputDeviceSilentForTwoSecondsEndsTheProgramWithItsMessage)
{
    Command(IDM_SINE_1K);
    ASSERT_TRUE(g_bPlaying);
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 40), 40);
    // The playback has run for 3 s when its device falls silent.
    g_liPlaybackStart = SyncCounter() - 3 * g_liPerfFrequency;
    Tick();
    EXPECT_NE(Text(IDC_ACTUAL_OUT), "0");
    SimSetStall(kSimOutput, true);
    MessageBoxCatcher catcher(IDOK);
    for (int tick = 1; tick <= 3; ++tick) {
        HalfSecondPasses();
        Tick();
    }
    EXPECT_TRUE(catcher.Boxes().empty()) << "three silent ticks are not yet a lost device";
    EXPECT_TRUE(g_bPlaying);
    HalfSecondPasses();
    Tick();
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, MessageBoxTextOf(MessageBoxId::LostOutputDevice).pszText);
    EXPECT_EQ(catcher.Boxes()[0].caption, "Lost Output Device");
    EXPECT_EQ(catcher.Boxes()[0].icon, "exclamation");
    EXPECT_FALSE(g_bPlaying);
    EXPECT_EQ(Text(IDC_ACTUAL_OUT), "0");
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program ends";
    EXPECT_EQ(quit.wParam, 0u);
    SimSetStall(kSimOutput, false);
    EXPECT_TRUE(PumpUntil([] { return !PlaybackSessionActive(); }, 5000)) << "the playback thread closes its device";
}

// Under Wine the capture delivers nothing for about 2 s after the device
// opens, so the average since the start is honestly low; it must still be
// the bytes recorded over the time since the capture start.
TEST_F(TransferFields, AverageInIsTheRecordedBytesOverTheTimeSinceTheCaptureStart)
{
    SetWaveDeviceTable(WinmmWaveDeviceTable());
    if (waveInGetNumDevs() == 0) GTEST_SKIP() << "no wave input device";
    ChooseDefaultDevices();
    Select(IDC_RATE, 7);       // 44100 Hz
    Select(IDC_CHANNELS, 1);   // stereo
    Select(IDC_RESOLUTION, 1); // 16 bit
    ASSERT_EQ(g_nBytesPerSec, 176400);
    const DWORD start = GetTickCount();
    Command(IDC_RECORD);
    ASSERT_TRUE(g_bRecording);
    // Actual In at every tick once the capture runs: from the third tick
    // after the first that saw bytes (Wine catches up after its late start).
    std::vector<int> actual;
    std::string last;
    int ticksWithBytes = 0;
    PumpUntil(
        [&] {
            const std::string now = Text(IDC_ACTUAL_IN);
            if (now != last && std::atoi(now.c_str()) > 0 && ++ticksWithBytes > 2)
                actual.push_back(std::atoi(now.c_str()));
            last = now;
            return GetTickCount() - start >= 10000;
        },
        12000);
    Tick();
    const int64_t now = SyncCounter();
    const double seconds = double(now - g_liCaptureStart) / double(g_liPerfFrequency);
    const double truth = double(g_nRecordedBytes) / seconds;
    int shown = 0;
    ASSERT_EQ(std::sscanf(Text(IDC_AVERAGE_IN).c_str(), "%d", &shown), 1);
    std::printf("[ measured ] after %.2f s: Average In \"%s\", recorded %d bytes "
                "= %.0f B/s (%+.3f%%); "
                "Actual In %s\n",
                seconds, Text(IDC_AVERAGE_IN).c_str(), int(g_nRecordedBytes), truth, 100.0 * (shown / truth - 1),
                Text(IDC_ACTUAL_IN).c_str());
    EXPECT_NEAR(shown, truth, truth * 0.005);
    std::string readings;
    double sum = 0;
    for (int rate : actual) {
        readings += " " + std::to_string(rate);
        sum += rate;
    }
    std::printf("[ measured ] Actual In once the capture runs:%s\n", readings.c_str());
    // Each reading is what arrived in its half second, which a loaded
    // machine makes uneven; together they keep to the nominal rate within a
    // block (4096 bytes) per half second.
    ASSERT_GE(actual.size(), 5u);
    EXPECT_NEAR(sum / double(actual.size()), 176400, 8192);
    ExpectConsistentAverage(IDC_AVERAGE_IN, 176400);
}

// The machine's load as /proc/stat counts it, read through Wine's drive Z:.
struct ProcTimes {
    double busy = 0, total = 0;
};
ProcTimes ReadProcStat()
{
    std::ifstream stat("Z:\\proc\\stat");
    std::string line, cpu;
    std::getline(stat, line);
    std::istringstream in(line);
    in >> cpu;
    double user, nice, system, idle, iowait, irq, softirq, steal;
    in >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
    ProcTimes t;
    t.total = user + nice + system + idle + iowait + irq + softirq + steal;
    t.busy = t.total - idle - iowait;
    return t;
}

TEST(CpuLoadMeasure, AgreesWithProcStatWhileAThreadKeepsOneCoreBusy)
{
    if (ReadProcStat().total == 0) GTEST_SKIP() << "no /proc/stat";
    std::atomic<bool> stop{false};
    std::thread busy([&] {
        volatile uint64_t n = 0;
        while (!stop) ++n;
    });
    std::unique_ptr<CpuLoadSource> source = OpenSystemTimesSource();
    ASSERT_NE(source, nullptr);
    // Three one-second samples, as timer 2 takes them, each against /proc/stat over the same second.
    for (int second = 0; second < 3; ++second) {
        const ProcTimes before = ReadProcStat();
        int load = -1;
        source->Sample(&load); // the start of this second
        Sleep(1000);
        EXPECT_EQ(source->Sample(&load), 0);
        const ProcTimes after = ReadProcStat();
        const double proc = 100.0 * (after.busy - before.busy) / (after.total - before.total);
        std::printf("[ measured ] CPU load over 1 s: shown %d%%, /proc/stat %.1f%%\n", load, proc);
        EXPECT_NEAR(load, proc, 5.0);
    }
    stop = true;
    busy.join();
}

} // namespace

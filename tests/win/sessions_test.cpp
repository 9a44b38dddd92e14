// Capture and playback sessions on the stepped simulated device, driven
// through the real main window: the boxes a failure shows (from the session
// threads), the controls, the timers, the scroll bar at Stop, the order in
// which the ends of two sessions reach the window, and device faults.
#include <algorithm>
#include <cstdio>
#include <future>
#include <tuple>
#include <vector>

#include "platform/resource_counts_win.h"
#include "sim_window_fixture.h"
#include "state/window_timers.h"
#include "tones/wav_writer.h"

namespace {

using Sessions = SimWindowFixture;

// The texts a device failure shows, for the "input" or the "output".
std::string Unopened(const std::string& side)
{
    return "The sound " + side +
           " device selected is not able to be opened.\nThis may be because the device is "
           "already in use or because\nthe device has not been installed correctly";
}
std::string FormatRefused(const std::string& side, const std::string& verb)
{
    return "The sound " + side + " device selected is not able to " + verb +
           "\nsound in the format requested. Select a different " + side + "\ndevice, or a different sound format";
}

int DevicesOpened(SimDirection direction) // not counting format queries
{
    int n = 0;
    for (const SimOpenRecord& r : SimOpenLog())
        n += r.direction == direction && !(r.flags & kWaveOpenQuery) && r.result == kWaveOk;
    return n;
}

// Playback with nothing recorded and a second output while one plays are
// refused with their box; Record during a playback keeps it and clears only
// the recording; one session of each kind at a time.
TEST_F(Sessions, RefusedOutputsStartNothingAndRecordKeepsARunningPlayback)
{
    MessageBoxCatcher catcher;
    Command(IDC_PLAYBACK);
    EXPECT_EQ(DevicesOpened(kSimOutput), 0);
    Command(IDC_RECORD);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 3), 3);
    Command(IDC_STOP);
    Command(IDC_PLAYBACK); // of the recording, which it keeps
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 4), 4);
    Command(IDC_RECORD);
    EXPECT_EQ(g_nOutputBytes, 4 * kBlock) << "the playback store is kept";
    EXPECT_EQ(g_nRecordedBytes, 0) << "the recording is cleared";
    const uint8_t* source = g_pPlaybackSource;
    for (int id : {IDM_SAW_1K, IDC_PLAYBACK, IDM_RECORD}) Command(id);
    StartRecording(hWnd);
    StartPlayback(hWnd);
    EXPECT_EQ(g_pPlaybackSource, source) << "the playback's source is not replaced";
    EXPECT_EQ(DevicesOpened(kSimInput), 2);
    EXPECT_EQ(DevicesOpened(kSimOutput), 1);
    std::vector<std::string> shown;
    for (const CaughtBox& box : catcher.Boxes()) shown.push_back(Shown(box));
    const std::string busy = "Output in progress [information] There is already a sound being played\nIn order to "
                             "play a new sound you must stop\nthe current output first.\n";
    EXPECT_EQ(shown, (std::vector<std::string>{"No sound data [information] There is no sound data available to be "
                                               "played back.\nRecord some sound first. Then attempt playback.",
                                               busy, busy}));
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 3), 3);
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 2), 2) << "the playback goes on";

    Command(IDC_STOP);
    EXPECT_EQ(g_bPlaying + g_bRecording, 0);
    EXPECT_EQ(SimOpenDeviceCount(), 0);
    EXPECT_EQ(g_nViewPos, g_nOutputBytes - kBlock) << "a playback ended: the view is over its store";
    Command(IDC_RECORD);
    EXPECT_EQ(DevicesOpened(kSimInput), 3) << "a new session after Stop";
}

// A timer is there when KillTimer finds it; the test sets it again.
TEST_F(Sessions, TimersRunWithASessionAndStopKillsThem)
{
    const auto running = [this](UINT_PTR id) { return KillTimer(hWnd, id) && SetTimer(hWnd, id, 100, nullptr); };
    Command(IDC_RECORD);
    EXPECT_TRUE(running(kRedrawTimer));
    EXPECT_TRUE(PumpUntil([&] { return running(kStatisticsTimer); }, kDeadlineMs)) << "once the notice is handled";
    Command(IDC_STOP);
    EXPECT_FALSE(KillTimer(hWnd, kStatisticsTimer)) << "Stop kills the statistics timer";
    EXPECT_FALSE(KillTimer(hWnd, kRedrawTimer)) << "Stop kills the redraw timer";

    // A Stop before the session's notice is handled: no timer starts after it.
    Command(IDC_RECORD);
    Command(IDC_STOP);
    ASSERT_TRUE(WaitIdle());
    EXPECT_FALSE(KillTimer(hWnd, kStatisticsTimer));
}

// A Stop that ends a recording puts a wrapped store in order, the newest
// lap oldest byte first, and the scroll bar over it, the thumb as far to the
// end as its page allows; a Stop with nothing running leaves both where
// they were.
TEST_F(Sessions, StopSetsTheStoreAndTheScrollBarOnlyWhenItEndsASession)
{
    const auto bar = [] {
        SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(g_hScrollBar, SB_CTL, &info);
        return std::make_tuple(IsWindowEnabled(g_hScrollBar), info.nMin, info.nMax, info.nPage, info.nPos);
    };
    // A 1MB store holds a lap of 2047 blocks. Period 251 bytes (a prime,
    // never silence): a block out of place cannot match by chance.
    Select(IDC_BUFFER_SIZE, 0);
    const int lap = 2047 * kBlock, delivered = 2100 * kBlock;
    SimSetInputSignal([](uint8_t* data, uint32_t bytes, uint64_t offset) {
        for (uint32_t i = 0; i < bytes; ++i) data[i] = uint8_t((offset + i) % 251 + 1);
    });
    EnableWindow(g_hScrollBar, TRUE);
    Command(IDC_RECORD);
    EXPECT_FALSE(IsWindowEnabled(g_hScrollBar));
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 2100), 2100);
    Command(IDC_STOP);
    ASSERT_EQ(g_nRecordedBytes, lap);
    int run = 0;
    while (run < lap && g_pInputBuffer[run] == (delivered - lap + run) % 251 + 1) ++run;
    EXPECT_EQ(run, lap) << "the newest lap of sound, oldest byte first";
    EXPECT_EQ(bar(), std::make_tuple(TRUE, 0, lap - kBlock, UINT(kBlock), lap - 2 * kBlock + 1));
    EXPECT_EQ(g_nViewPos, lap - kBlock);

    for (int i = 0; i < 2; ++i)
        SendMessageA(hWnd, WM_HSCROLL, MAKEWPARAM(SB_PAGELEFT, 0), reinterpret_cast<LPARAM>(g_hScrollBar));
    const auto scrolled = bar();
    const int32_t view = g_nViewPos;
    const std::vector<uint8_t> stored(g_pInputBuffer, g_pInputBuffer + lap);
    Command(IDC_STOP);
    EXPECT_EQ(bar(), scrolled);
    EXPECT_EQ(g_nViewPos, view);
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), g_pInputBuffer)) << "turned again";
}

// A playback whose device close waits until the test lets it go on: its
// session stays under way, closing, with its running flag already clear.
std::promise<void> s_closing;
std::shared_future<void> s_mayClose;

uint32_t HeldClose(WaveHandle device)
{
    s_closing.set_value();
    s_mayClose.wait();
    return SimWaveDeviceTable()->outClose(device);
}

TEST_F(Sessions, AnEndedSessionLeavesTheControlsGreyWhileTheOtherIsStillClosing)
{
    s_closing = {};
    std::promise<void> mayClose;
    s_mayClose = mayClose.get_future().share();
    static WaveDeviceTable table;
    table = *SimWaveDeviceTable();
    table.outClose = &HeldClose;
    SetWaveDeviceTable(&table);

    Command(IDM_SINE_1K);
    ASSERT_EQ(g_bPlaying, 1);
    g_bPlaying = 0; // as a lost output device does: the thread closes its device
    s_closing.get_future().wait();
    ASSERT_TRUE(PlaybackSessionActive());

    SendMessageA(hWnd, kSessionNoticeMessage,
                 SessionNoticeWord({SessionKind::Capture, SessionNotice::Ended, SessionFailure::None}), 0);
    EXPECT_FALSE(FormatControlsEnabled()) << "a capture ended, but the playback is still closing";
    EXPECT_TRUE(GetMenuState(GetMenu(hWnd), 0, MF_BYPOSITION) & MF_GRAYED);

    mayClose.set_value();
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(PumpUntil([&] { return FormatControlsEnabled(); }, kDeadlineMs))
        << "the playback's own end releases them";
}

// Faults of the simulated device at every stage of a session, and starts
// that fail. Each shows its box or none, ends with Stop, closes the device,
// gives the controls back, keeps exactly what was recorded before the fault,
// and leaves a program whose next Record and Playback run.
enum class Fault { Stall, Lost, FormatRefused, OpenFails };
enum class Stage { Opening, JustStarted, Running, Stopping };

SimDirection s_faultDirection = kSimInput;
Fault s_fault = Fault::Stall;

void Inject(SimDirection direction, Fault fault)
{
    switch (fault) {
    case Fault::Stall: SimSetStall(direction, true); break;
    case Fault::Lost: SimDropAfter(direction, 0); break;
    case Fault::FormatRefused:
        SimSetFormatRule([direction](SimDirection d, uint32_t, const WaveFormatExtensible&) { return d != direction; });
        break;
    case Fault::OpenFails: SimSetOpenFailure(direction, kWaveErrAllocated); break;
    }
}

template <SimDirection kDirection>
uint32_t FaultThenReset(WaveHandle device)
{
    if (kDirection == s_faultDirection) Inject(kDirection, s_fault);
    const WaveDeviceTable* sim = SimWaveDeviceTable();
    return kDirection == kSimInput ? sim->inReset(device) : sim->outReset(device);
}

TEST_F(Sessions, DeviceFaultsShowTheirBoxKeepTheRecordingAndLeaveTheProgramUsable)
{
    static WaveDeviceTable table;
    for (SimDirection direction : {kSimInput, kSimOutput})
        for (Fault fault : {Fault::Stall, Fault::Lost, Fault::FormatRefused, Fault::OpenFails})
            for (Stage stage : {Stage::Opening, Stage::JustStarted, Stage::Running, Stage::Stopping}) {
                if (fault >= Fault::FormatRefused && stage != Stage::Opening) continue;
                SCOPED_TRACE(testing::Message()
                             << "direction " << direction << ", fault " << int(fault) << ", stage " << int(stage));
                UseSimulator();
                s_faultDirection = direction, s_fault = fault;
                table = *SimWaveDeviceTable();
                table.inReset = &FaultThenReset<kSimInput>;
                table.outReset = &FaultThenReset<kSimOutput>;
                SetWaveDeviceTable(&table);
                int kept = 0;                  // blocks recorded before the fault
                if (direction == kSimOutput) { // the playback of a recording of 6 blocks
                    Command(IDC_RECORD);
                    ASSERT_EQ(kept = SimCompleteBlocks(kSimInput, 6), 6);
                    Command(IDC_STOP);
                }
                MessageBoxCatcher catcher(IDOK, BoxThreads::AnyThread);
                if (stage == Stage::Opening) Inject(direction, fault);
                Command(direction == kSimInput ? IDC_RECORD : IDC_PLAYBACK);
                if (stage == Stage::JustStarted) Inject(direction, fault);
                if (stage >= Stage::Running) {
                    ASSERT_EQ(SimCompleteBlocks(direction, 3), 3);
                }
                if (stage == Stage::Running) Inject(direction, fault);
                EXPECT_EQ(SimCompleteBlocks(direction, 2), stage == Stage::Stopping ? 2 : 0) << "the fault holds";
                if (direction == kSimInput) kept = stage == Stage::Running ? 3 : stage == Stage::Stopping ? 5 : 0;
                // A device lost before its first block is queued cannot be opened either.
                const std::string side = direction == kSimInput ? "input" : "output";
                std::vector<std::string> boxes;
                if (fault == Fault::FormatRefused)
                    boxes = {FormatRefused(side, direction == kSimInput ? "record" : "play")};
                if (fault == Fault::OpenFails ||
                    (fault == Fault::Lost && stage == Stage::Opening && direction == kSimInput))
                    boxes = {Unopened(side)};
                ASSERT_TRUE(catcher.WaitForBoxes(boxes.size(), kDeadlineMs));
                Command(IDC_STOP);
                ASSERT_TRUE(WaitIdle());
                EXPECT_TRUE(PumpUntil([&] { return FormatControlsEnabled(); }, kDeadlineMs)) << "controls stay grey";
                EXPECT_EQ(SimOpenDeviceCount(), 0);
                EXPECT_EQ(g_bRecording + g_bPlaying, 0);
                EXPECT_TRUE(g_pWaveIn == nullptr && g_pWaveOut == nullptr);
                std::vector<std::string> shown;
                for (const CaughtBox& box : catcher.Boxes()) shown.push_back(Shown(box));
                for (std::string& text : boxes) text = "Sound device problem [exclamation] " + text;
                EXPECT_EQ(shown, boxes);

                ASSERT_EQ(g_nRecordedBytes, kept * kBlock);
                for (int i = 0; i < g_nRecordedBytes; ++i) ASSERT_EQ(g_pInputBuffer[i], uint8_t(i)) << "byte " << i;
                EXPECT_EQ(RecordingAvailable(), kept > 0);
                if (kept > 0) { // and it saves
                    const std::string saved = TempPath("mirravox-fault-test.wav");
                    ASSERT_EQ(WriteWavFile(saved.c_str(), false), WavResult::Ok);
                    EXPECT_EQ(FileBytes(saved).size(), 44u + kept * kBlock);
                    DeleteFileA(saved.c_str());
                }

                UseSimulator();
                Command(IDC_RECORD);
                EXPECT_EQ(SimCompleteBlocks(kSimInput, 2), 2);
                Command(IDC_PLAYBACK);
                EXPECT_EQ(SimCompleteBlocks(kSimOutput, 2), 2);
                Command(IDC_STOP);
                EXPECT_EQ(g_nRecordedBytes, 2 * kBlock);
            }
}

// Record, Playback, Stop a thousand times: every cycle ends idle with its
// devices closed and the controls back; GDI objects and handles stay flat.
TEST_F(Sessions, AThousandCyclesEndIdleAndLeakNothing)
{
    constexpr int kCycles = 1000, kSettled = 10;
    int gdi = 0, handles = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        Command(IDC_RECORD);
        ASSERT_EQ(SimCompleteBlocks(kSimInput, 1), 1) << "cycle " << cycle;
        Command(IDC_PLAYBACK);
        ASSERT_EQ(SimCompleteBlocks(kSimOutput, 1), 1) << "cycle " << cycle;
        Command(IDC_STOP);
        ASSERT_TRUE(WaitIdle()) << "cycle " << cycle;
        ASSERT_TRUE(PumpUntil([&] { return FormatControlsEnabled(); }, 2000)) << "cycle " << cycle;
        ASSERT_EQ(SimOpenDeviceCount(), 0) << "cycle " << cycle;
        if (cycle == kSettled) gdi = GdiObjectCount(), handles = KernelHandleCount();
    }
    const int gdiEnd = GdiObjectCount(), handlesEnd = KernelHandleCount();
    std::printf("after %d cycles: GDI objects %d -> %d, kernel handles %d -> %d\n", kCycles, gdi, gdiEnd, handles,
                handlesEnd);
    ASSERT_GT(gdi, 0);
    ASSERT_GT(handles, 0);
    EXPECT_LE(gdiEnd, gdi + 5);
    EXPECT_LE(handlesEnd, handles + 5);
}

} // namespace

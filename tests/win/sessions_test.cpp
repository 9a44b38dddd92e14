// Capture and playback sessions on the simulated device (stepped unless a
// test says otherwise), driven through the real main window. Failure boxes
// come from the session threads and are caught on any thread.
#include <algorithm>
#include <cstdio>
#include <future>
#include <tuple>
#include <vector>

#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "devices/device_lists.h"
#include "main_window_fixture.h"
#include "platform/resource_counts_win.h"
#include "platform/sim_wave_device.h"
#include "platform/sync.h"
#include "state/window_timers.h"
#include "tones/wav_writer.h"

namespace {

constexpr int kBlock = 512; // bytes per block at 8-bit mono, 11025 Hz

// The longest a session may take to end, the window to handle a report or a
// timer to tick, however loaded the machine; every wait ends as soon as what
// it waits for has happened.
constexpr DWORD kDeadlineMs = 10000;

class Sessions : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        UseSimulator();
    }
    void TearDown() override
    {
        StopAll(hWnd);
        EXPECT_TRUE(WaitIdle()) << "a session outlived Stop";
        MainWindowFixture::TearDown();
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
    }
    static void UseSimulator()
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetStepped(true);
        ChooseDefaultDevices(); // the ids the start-up chose on winmm's lists mean nothing here
    }
    static bool WaitIdle()
    {
        return PumpUntil([] { return !CaptureSessionActive() && !PlaybackSessionActive(); }, kDeadlineMs);
    }
    bool FormatControlsEnabled() const
    {
        for (int id : {IDC_RATE, IDC_CHANNELS, IDC_RESOLUTION, IDC_BUFFER_SIZE})
            if (!IsWindowEnabled(GetDlgItem(hWnd, id))) return false;
        return true;
    }
    static int DevicesOpened(SimDirection direction) // not counting format queries
    {
        int n = 0;
        for (const SimOpenRecord& r : SimOpenLog())
            n += r.direction == direction && !(r.flags & kWaveOpenQuery) && r.result == kWaveOk;
        return n;
    }
};

TEST_F(Sessions, FailedStartShowsItsTextAndLeavesTheProgramIdleAndUsable)
{
    const std::string refused = " device selected is not able to ";
    const std::string unopened = refused + "be opened.\nThis may be because the device is already in use or "
                                           "because\nthe device has not been installed correctly";
    const struct {
        SimDirection direction;
        bool refuseFormat; /* else the open fails: allocated */
        std::string text;
    } kFailures[] = {
        {kSimInput, true,
         "The sound input" + refused +
             "record\nsound in the format requested. Select a "
             "different input\ndevice, or a different sound format"},
        {kSimInput, false, "The sound input" + unopened},
        {kSimOutput, true,
         "The sound output" + refused +
             "play\nsound in the format requested. Select a "
             "different output\ndevice, or a different sound format"},
        {kSimOutput, false, "The sound output" + unopened},
    };
    for (const auto& c : kFailures) {
        SCOPED_TRACE(c.text);
        UseSimulator();
        const SimDirection failing = c.direction;
        if (c.refuseFormat)
            SimSetFormatRule([failing](SimDirection d, uint32_t, const WaveFormatExtensible&) { return d != failing; });
        else
            SimSetOpenFailure(failing, kWaveErrAllocated);
        // Record for the input; a tone command, which plays at once, for the output.
        const int command = failing == kSimInput ? IDC_RECORD : IDM_SINE_1K;
        std::atomic<int32_t>& flag = failing == kSimInput ? g_bRecording : g_bPlaying;
        {
            MessageBoxCatcher catcher(IDOK, BoxThreads::AnyThread);
            Command(command);
            ASSERT_TRUE(catcher.WaitForBoxes(1, kDeadlineMs));
            ASSERT_TRUE(WaitIdle());
            EXPECT_TRUE(PumpUntil([&] { return FormatControlsEnabled(); }, kDeadlineMs)) << "controls stay grey";
            const std::vector<CaughtBox> boxes = catcher.Boxes();
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, c.text);
            EXPECT_EQ(boxes[0].caption, "Sound device problem");
            EXPECT_EQ(boxes[0].icon, "exclamation");
        }
        EXPECT_EQ(flag, 0);
        EXPECT_EQ(g_pWaveIn, nullptr);
        EXPECT_EQ(g_pWaveOut, nullptr);
        EXPECT_EQ(SimOpenDeviceCount(), 0);
        SyncEvent* done = failing == kSimInput ? g_hCaptureDoneEvent : g_hPlaybackDoneEvent;
        EXPECT_FALSE(SyncWaitEvent(done, 0)) << "no done event";

        // Usable: with the device working again the same command runs a session.
        UseSimulator();
        Command(command);
        EXPECT_EQ(flag, 1);
        EXPECT_FALSE(FormatControlsEnabled());
        Command(IDC_STOP);
        EXPECT_EQ(flag, 0);
    }
}

TEST_F(Sessions, PlaybackWithNothingRecordedShowsNoSoundDataAndStartsNothing)
{
    MessageBoxCatcher catcher;
    Command(IDC_PLAYBACK);
    const std::vector<CaughtBox> boxes = catcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "There is no sound data available to be played back.\nRecord some sound first. Then attempt playback.");
    EXPECT_EQ(boxes[0].caption, "No sound data");
    EXPECT_EQ(boxes[0].icon, "information");
    EXPECT_FALSE(PlaybackSessionActive());
    EXPECT_EQ(DevicesOpened(kSimOutput), 0);
}

TEST_F(Sessions, RecordDuringAPlaybackKeepsThePlaybackAndClearsOnlyTheRecording)
{
    Command(IDM_SINE_1K);
    ASSERT_EQ(g_bPlaying, 1);
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 4), 4);
    g_pInputBuffer[100] = 7;

    Command(IDC_RECORD);
    EXPECT_EQ(g_bRecording, 1);
    EXPECT_EQ(g_bPlaying, 1);
    EXPECT_EQ(g_nOutputBytes, 4 * kBlock) << "the playback store is kept";
    EXPECT_EQ(g_pInputBuffer[100], 128) << "the recording store is cleared";
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 3), 3);
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 2), 2) << "the playback goes on";

    Command(IDC_STOP);
    EXPECT_EQ(g_bPlaying, 0);
    EXPECT_EQ(g_bRecording, 0);
    EXPECT_EQ(SimOpenDeviceCount(), 0);
    EXPECT_EQ(g_nViewPos, g_nOutputBytes - kBlock) << "a playback ended: the view is over its store";
}

TEST_F(Sessions, OneCaptureAndOnePlaybackSessionAtATime)
{
    Command(IDC_RECORD);
    Command(IDM_RECORD);
    StartRecording(hWnd);
    EXPECT_EQ(DevicesOpened(kSimInput), 1);

    Command(IDM_SINE_1K);
    const uint8_t* source = g_pPlaybackSource;
    {
        MessageBoxCatcher catcher;
        for (int id : {IDM_SINE_1K, IDM_SAW_1K, IDM_SQUARE_1K, IDM_WHITE_NOISE, IDC_PLAYBACK}) Command(id);
        const std::vector<CaughtBox> boxes = catcher.Boxes();
        ASSERT_EQ(boxes.size(), 5u);
        for (const CaughtBox& box : boxes) {
            EXPECT_EQ(box.text, "There is already a sound being played\nIn order to play a new sound you must stop\n"
                                "the current output first.\n");
            EXPECT_EQ(box.caption, "Output in progress");
            EXPECT_EQ(box.icon, "information");
        }
    }
    EXPECT_EQ(g_pPlaybackSource, source) << "the tone is not replaced";
    EXPECT_EQ(g_bRecording, 1) << "nothing is stopped";
    StartPlayback(hWnd);
    EXPECT_EQ(DevicesOpened(kSimOutput), 1);
    EXPECT_EQ(SimOpenDeviceCount(), 2);

    Command(IDC_STOP);
    EXPECT_EQ(SimOpenDeviceCount(), 0);
    Command(IDC_RECORD);
    EXPECT_EQ(DevicesOpened(kSimInput), 2) << "a new session after Stop";
}

TEST_F(Sessions, TimersRunWithASessionAndStopKillsThem)
{
    EnableWindow(g_hScrollBar, TRUE);
    Command(IDC_RECORD);
    EXPECT_FALSE(IsWindowEnabled(g_hScrollBar));
    bool ticked[4] = {}; // by timer id
    const DWORD start = GetTickCount();
    while (!(ticked[kStatisticsTimer] && ticked[kRedrawTimer]) && GetTickCount() - start < kDeadlineMs) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == hWnd && msg.wParam < 4) ticked[msg.wParam] = true;
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    EXPECT_TRUE(ticked[kStatisticsTimer] && ticked[kRedrawTimer]);
    Command(IDC_STOP);
    EXPECT_FALSE(KillTimer(hWnd, kStatisticsTimer)) << "Stop kills the statistics timer";
    EXPECT_FALSE(KillTimer(hWnd, kRedrawTimer)) << "Stop kills the redraw timer";

    // A Stop before the thread's notice is handled: no timer starts after it.
    Command(IDC_RECORD);
    Command(IDC_STOP);
    ASSERT_TRUE(WaitIdle());
    EXPECT_FALSE(KillTimer(hWnd, kStatisticsTimer));
}

TEST_F(Sessions, WrappedRecordingIsPutInOrderOnceAtStop)
{
    Select(IDC_BUFFER_SIZE, 0); // 1MB: a lap of 2047 blocks, the last block-long stretch unused
    ASSERT_EQ(g_nInputBufferSize, 1048576);
    const int lap = 2047 * kBlock;
    // Period 251 bytes (a prime, never silence): a block out of place cannot match by chance.
    const auto signalAt = [](uint64_t offset) { return uint8_t(offset % 251 + 1); };
    SimSetInputSignal([signalAt](uint8_t* data, uint32_t bytes, uint64_t offset) {
        for (uint32_t i = 0; i < bytes; ++i) data[i] = signalAt(offset + i);
    });

    Command(IDC_RECORD);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 2100), 2100);
    SimCutShortAtReset(kSimInput, 200); // the block under way at Stop holds 200 bytes
    Command(IDC_STOP);
    const uint64_t delivered = 2100 * kBlock + 200;
    EXPECT_EQ(g_nRecordedBytes, lap);
    int run = 0;
    while (run < lap && g_pInputBuffer[run] == signalAt(delivered - lap + run)) ++run;
    EXPECT_EQ(run, lap) << "the newest lap of sound, oldest byte first";
    const std::vector<uint8_t> expected(g_pInputBuffer, g_pInputBuffer + lap);

    // The view starts at the end of the stored sound, the thumb as far to the
    // end as its page allows.
    EXPECT_EQ(g_nViewPos, lap - kBlock);
    EXPECT_TRUE(IsWindowEnabled(g_hScrollBar));
    SCROLLINFO bar = {sizeof(bar), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(g_hScrollBar, SB_CTL, &bar);
    EXPECT_EQ(bar.nMin, 0);
    EXPECT_EQ(bar.nMax, lap - kBlock);
    EXPECT_EQ(bar.nPage, UINT(kBlock));
    EXPECT_EQ(bar.nPos, bar.nMax - kBlock + 1);

    // Stops that end no recording leave it alone: one with nothing running,
    // and one that ends a playback of it.
    Command(IDC_STOP);
    Command(IDC_PLAYBACK);
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 3), 3);
    Command(IDC_STOP);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), g_pInputBuffer));
}

// A playback whose device close waits until the test lets it go on: its
// session stays under way, closing, with its running flag already clear.
std::promise<void> s_closing;
std::shared_future<void> s_mayClose;
WaveDeviceTable s_heldCloseTable;

TEST_F(Sessions, AnEndedSessionLeavesTheControlsGreyWhileTheOtherIsStillClosing)
{
    s_closing = {};
    std::promise<void> mayClose;
    s_mayClose = mayClose.get_future().share();
    s_heldCloseTable = *SimWaveDeviceTable();
    s_heldCloseTable.outClose = [](WaveHandle device) {
        s_closing.set_value();
        s_mayClose.wait();
        return SimWaveDeviceTable()->outClose(device);
    };
    SetWaveDeviceTable(&s_heldCloseTable);

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

TEST_F(Sessions, StopWithNothingRunningLeavesTheScrollBarAsItWas)
{
    Command(IDC_RECORD);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 20), 20);
    Command(IDC_STOP);
    ASSERT_TRUE(IsWindowEnabled(g_hScrollBar));
    SendMessageA(hWnd, WM_HSCROLL, MAKEWPARAM(SB_PAGELEFT, 0), reinterpret_cast<LPARAM>(g_hScrollBar));
    SendMessageA(hWnd, WM_HSCROLL, MAKEWPARAM(SB_PAGELEFT, 0), reinterpret_cast<LPARAM>(g_hScrollBar));
    auto bar = [] {
        SCROLLINFO info = {sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(g_hScrollBar, SB_CTL, &info);
        return std::make_tuple(info.nMin, info.nMax, info.nPage, info.nPos);
    };
    const auto scrolled = bar();
    const int32_t view = g_nViewPos;

    Command(IDC_STOP);
    EXPECT_EQ(bar(), scrolled) << "range, page and position";
    EXPECT_TRUE(IsWindowEnabled(g_hScrollBar));
    EXPECT_EQ(g_nViewPos, view);
}

// Faults of the simulated device at every stage of a session. Each ends with
// Stop (or its box), closes the device, keeps what was recorded before the
// fault in the store, saves it, and leaves a program whose next Record runs.
enum class Fault { Stall, Lost };
enum class Stage { Opening, JustStarted, Running, Stopping };

SimDirection s_faultDirection = kSimInput;
Fault s_fault = Fault::Stall;
WaveDeviceTable s_faultAtResetTable;

void Inject(SimDirection direction, Fault fault)
{
    if (fault == Fault::Stall)
        SimSetStall(direction, true);
    else
        SimDropAfter(direction, 0);
}

uint32_t FaultThenReset(SimDirection direction, WaveHandle device)
{
    if (direction == s_faultDirection) Inject(direction, s_fault);
    const WaveDeviceTable* sim = SimWaveDeviceTable();
    return direction == kSimInput ? sim->inReset(device) : sim->outReset(device);
}

TEST_F(Sessions, DeviceFaultsAtEveryStageKeepTheRecordingAndLeaveTheProgramUsable)
{
    const std::string unopened = "The sound input device selected is not able to be opened.\nThis may be because the "
                                 "device is already in use or because\nthe device has not been installed correctly";
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string saved = std::string(temp) + "mirravox-fault-" + std::to_string(GetCurrentProcessId()) + ".wav";
    for (SimDirection direction : {kSimInput, kSimOutput})
        for (Fault fault : {Fault::Stall, Fault::Lost})
            for (Stage stage : {Stage::Opening, Stage::JustStarted, Stage::Running, Stage::Stopping}) {
                SCOPED_TRACE(testing::Message()
                             << "direction " << direction << ", fault " << int(fault) << ", stage " << int(stage));
                UseSimulator();
                s_faultDirection = direction, s_fault = fault;
                s_faultAtResetTable = *SimWaveDeviceTable();
                s_faultAtResetTable.inReset = [](WaveHandle d) { return FaultThenReset(kSimInput, d); };
                s_faultAtResetTable.outReset = [](WaveHandle d) { return FaultThenReset(kSimOutput, d); };
                SetWaveDeviceTable(&s_faultAtResetTable);
                // The output is played from a recording of 6 blocks made first.
                int blocksBefore = 0;
                if (direction == kSimOutput) {
                    Command(IDC_RECORD);
                    ASSERT_EQ(blocksBefore = SimCompleteBlocks(kSimInput, 6), 6);
                    Command(IDC_STOP);
                }
                const int command = direction == kSimInput ? IDC_RECORD : IDC_PLAYBACK;
                MessageBoxCatcher catcher(IDOK, BoxThreads::AnyThread);
                if (stage == Stage::Opening) Inject(direction, fault);
                Command(command);
                if (stage == Stage::JustStarted) Inject(direction, fault);
                if (stage >= Stage::Running) {
                    ASSERT_EQ(SimCompleteBlocks(direction, 3), 3);
                }
                if (stage == Stage::Running) Inject(direction, fault);
                EXPECT_EQ(SimCompleteBlocks(direction, 2), stage == Stage::Stopping ? 2 : 0) << "the fault holds";
                if (direction == kSimInput)
                    blocksBefore = stage == Stage::Running ? 3 : stage == Stage::Stopping ? 5 : 0;
                Command(IDC_STOP);
                ASSERT_TRUE(WaitIdle());
                EXPECT_EQ(SimOpenDeviceCount(), 0);
                EXPECT_EQ(g_bRecording + g_bPlaying, 0);
                // A device lost before its first block is queued cannot be opened; nothing else shows a box.
                const bool refused = direction == kSimInput && fault == Fault::Lost && stage == Stage::Opening;
                ASSERT_TRUE(catcher.WaitForBoxes(refused ? 1 : 0, 2000));
                ASSERT_EQ(catcher.Boxes().size(), refused ? 1u : 0u);
                if (refused) {
                    EXPECT_EQ(catcher.Boxes()[0].text, unopened);
                }

                // The sound recorded before the fault, exactly, saved.
                ASSERT_EQ(g_nRecordedBytes, blocksBefore * kBlock);
                for (int i = 0; i < g_nRecordedBytes; ++i) ASSERT_EQ(g_pInputBuffer[i], uint8_t(i)) << "byte " << i;
                EXPECT_EQ(RecordingAvailable(), blocksBefore > 0);
                if (blocksBefore > 0) {
                    ASSERT_EQ(WriteWavFile(saved.c_str(), false), WavResult::Ok);
                    WIN32_FILE_ATTRIBUTE_DATA info = {};
                    ASSERT_TRUE(GetFileAttributesExA(saved.c_str(), GetFileExInfoStandard, &info));
                    EXPECT_EQ(info.nFileSizeLow, 44u + blocksBefore * kBlock);
                }
                DeleteFileA(saved.c_str());

                UseSimulator(); // the device works again: the program is usable
                Command(IDC_RECORD);
                EXPECT_EQ(SimCompleteBlocks(kSimInput, 2), 2);
                Command(IDC_STOP);
                EXPECT_EQ(g_nRecordedBytes, 2 * kBlock);
            }
}

// Record, Playback and Stop a thousand times: every cycle ends idle with the
// controls back, and the process holds no more GDI objects or kernel handles
// after the last cycle than after the tenth (a leak of one per cycle would
// show as hundreds).
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

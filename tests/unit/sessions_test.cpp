// The capture and playback sessions without a window: what they report, and
// the order of the close, the done event and the end, on the simulated
// device (stepped); and the one-session guard of each direction.
#include "audio/sessions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/session_guard.h"
#include "platform/sim_wave_device.h"
#include "platform/sync.h"
#include "state/app_state.h"

namespace {

constexpr int kBlock = 512; // bytes per block at the default 11025 Hz, 8-bit mono

// One kind's notices (the capture's unless told) and its failure; Ended, the
// thread's last step, may come just after Stop returns (at most 5 s are
// waited for it).
struct Reports : SessionListener {
    void OnSessionReport(const SessionReport& report) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (report.kind != m_kind) return;
        m_notices.push_back(report.notice);
        if (report.notice == SessionNotice::Failed) m_failure = report.failure;
        if (report.notice == SessionNotice::Ended) SyncSetEvent(m_ended);
    }
    std::vector<SessionNotice> UntilEnded()
    {
        SyncWaitEvent(m_ended, 5000);
        std::lock_guard<std::mutex> lock(m_lock);
        return m_notices;
    }
    ~Reports() { SyncCloseEvent(m_ended); }
    std::mutex m_lock;
    SessionKind m_kind = SessionKind::Capture;
    std::vector<SessionNotice> m_notices; // of m_kind
    SessionFailure m_failure = SessionFailure::None;
    SyncEvent* m_ended = SyncCreateEvent(true, false);
};

class Sessions : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetStepped(true);
        ASSERT_TRUE(AllocateInputStore(64 * kBlock) && AllocateOutputStore(64 * kBlock));
        ASSERT_TRUE(ResetStores());
        ASSERT_NE(AllocatePlaybackSource(3 * kBlock), nullptr);
        SetSessionListener(&m_reports);
    }
    void TearDown() override
    {
        StopSessions();
        EXPECT_FALSE(CaptureSessionActive() || PlaybackSessionActive()) << "a session outlived Stop";
        SetSessionListener(nullptr);
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(nullptr);
        FreePlaybackSource();
        FreeStores();
    }
    Reports m_reports;
};

using N = SessionNotice;

TEST_F(Sessions, ARunningSessionReportsAndStopEndsItOverItsStore)
{
    ASSERT_TRUE(BeginSession(SessionKind::Capture));
    EXPECT_EQ(g_bRecording, 1) << "the device runs when the begin returns";
    EXPECT_FALSE(BeginSession(SessionKind::Capture)) << "one capture at a time";
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 3), 3);
    EXPECT_EQ(g_nRecordedBytes, 3 * kBlock);

    const StopOutcome outcome = StopSessions();
    EXPECT_TRUE(outcome.bCaptureStopped);
    EXPECT_FALSE(outcome.bPlaybackStopped);
    EXPECT_EQ(g_bRecording, 0);
    EXPECT_EQ(g_nViewPos, g_nRecordedBytes - kBlock) << "the view ends with the stored sound";
    EXPECT_EQ(m_reports.UntilEnded(), (std::vector<N>{N::Running, N::Ended}));
    EXPECT_FALSE(StopSessions().bCaptureStopped) << "a Stop with nothing running ends nothing";
}

// The simulator, except that a device's close waits until the test lets it
// go on, so that the test can look at the done event while the close runs.
std::promise<void> g_closing;
std::shared_future<void> g_mayClose;

template <uint32_t (*WaveDeviceTable::*Close)(WaveHandle)>
uint32_t HeldClose(WaveHandle device)
{
    g_closing.set_value();
    g_mayClose.wait();
    return (SimWaveDeviceTable()->*Close)(device);
}

TEST_F(Sessions, TheDoneEventWaitsUntilTheDeviceIsReallyClosed)
{
    for (SessionKind kind : {SessionKind::Capture, SessionKind::Playback}) {
        const bool capture = kind == SessionKind::Capture;
        SCOPED_TRACE(capture ? "capture" : "playback");
        g_closing = {};
        std::promise<void> mayClose;
        g_mayClose = mayClose.get_future().share();
        static WaveDeviceTable table;
        table = *SimWaveDeviceTable();
        table.inClose = &HeldClose<&WaveDeviceTable::inClose>;
        table.outClose = &HeldClose<&WaveDeviceTable::outClose>;
        SetWaveDeviceTable(&table);

        ASSERT_TRUE(BeginSession(kind));
        StopOutcome outcome = {};
        std::thread stopper([&] { outcome = StopSessions(); });
        g_closing.get_future().wait();
        SyncEvent* done = capture ? g_hCaptureDoneEvent : g_hPlaybackDoneEvent;
        EXPECT_FALSE(SyncWaitEvent(done, 200)) << "done was signalled while the device was still being closed";
        mayClose.set_value();
        stopper.join();
        EXPECT_TRUE(capture ? outcome.bCaptureStopped : outcome.bPlaybackStopped);
        EXPECT_EQ(SimOpenDeviceCount(), 0);
        SetWaveDeviceTable(SimWaveDeviceTable());
    }
}

// A refused format or a failed open reports why, sets no done event (nothing
// was opened that Stop must wait for) and leaves no session flag set.
TEST_F(Sessions, AFailedStartReportsWhyAndSetsNoDoneEvent)
{
    for (SessionKind kind : {SessionKind::Capture, SessionKind::Playback}) {
        for (SessionFailure failure : {SessionFailure::FormatRefused, SessionFailure::OpenFailed}) {
            SCOPED_TRACE(int(failure) * 10 + int(kind));
            SimReset();
            Reports reports;
            reports.m_kind = kind;
            SetSessionListener(&reports);
            if (failure == SessionFailure::FormatRefused)
                SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible&) { return false; });
            else
                SimSetOpenFailure(kind == SessionKind::Capture ? kSimInput : kSimOutput, kWaveErrAllocated);
            ASSERT_TRUE(BeginSession(kind));
            EXPECT_EQ(reports.UntilEnded(), (std::vector<N>{N::Failed, N::Ended}));
            EXPECT_EQ(reports.m_failure, failure);
            EXPECT_FALSE(SyncWaitEvent(kind == SessionKind::Capture ? g_hCaptureDoneEvent : g_hPlaybackDoneEvent, 0));
            EXPECT_EQ(g_bRecording + g_bPlaying, 0);
            const StopOutcome outcome = StopSessions();
            EXPECT_FALSE(outcome.bCaptureStopped || outcome.bPlaybackStopped) << "nothing was opened";
            SetSessionListener(&m_reports); // before this one's listener goes
        }
    }
}

TEST(SessionGuard, OneSessionPerDirectionAndNoStopIsLost)
{
    std::atomic<int32_t> running{0};
    SessionGuard guard(running);
    ASSERT_TRUE(guard.Begin());
    EXPECT_EQ(guard.WaitForStart(0), SessionPhase::Starting) << "the time ran out first";
    EXPECT_FALSE(guard.Begin()) << "a second command while the thread opens the device";
    std::thread opener([&] { guard.DeviceStarted(); });
    EXPECT_EQ(guard.WaitForStart(5000), SessionPhase::Running);
    opener.join();
    EXPECT_EQ(running, 1);
    EXPECT_EQ(guard.Stop(), SessionPhase::Running);
    EXPECT_EQ(running, 0);
    EXPECT_FALSE(guard.Begin()) << "until the thread has closed its device and ended";
    EXPECT_FALSE(guard.WaitIdle(0));
    std::thread closer([&] { guard.End(); });
    EXPECT_TRUE(guard.WaitIdle(5000));
    closer.join();

    // A Stop while the thread is opening its device: the thread closes instead.
    ASSERT_TRUE(guard.Begin());
    EXPECT_EQ(guard.Stop(), SessionPhase::Starting);
    EXPECT_FALSE(guard.DeviceStarted());
    EXPECT_EQ(running, 0);
    EXPECT_EQ(guard.WaitForStart(0), SessionPhase::Running) << "the device was opened: Stop waits for its close";
    guard.End();

    // A failed start: nothing for Stop to wait for, no new session until the thread ends.
    ASSERT_TRUE(guard.Begin());
    guard.StartFailed();
    EXPECT_EQ(guard.WaitForStart(0), SessionPhase::Failed);
    EXPECT_EQ(guard.Stop(), SessionPhase::Failed);
    EXPECT_FALSE(guard.Begin());
    guard.End();
    ASSERT_TRUE(guard.Begin());
    EXPECT_TRUE(guard.DeviceStarted()) << "the old stop request is gone";
}

} // namespace

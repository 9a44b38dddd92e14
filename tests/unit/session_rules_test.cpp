// The session rules without a window: the one-session guard, and what Stop
// does to the stores, the view position and the scroll bar.
#include "app/app_state.h"
#include "audio/session_rules.h"
#include "tones/tone_synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <numeric>
#include <thread>
#include <vector>

namespace {

TEST(SessionGuard, OneSessionPerDirectionAndNoStopIsLost)
{
    std::atomic<int32_t> running{0};
    SessionGuard guard(running);
    ASSERT_TRUE(guard.Begin());
    EXPECT_FALSE(guard.Begin()) << "a second command while the thread opens the device";
    ASSERT_TRUE(guard.DeviceStarted());
    EXPECT_EQ(running, 1);
    EXPECT_FALSE(guard.Begin()) << "a second command while it runs";
    EXPECT_EQ(guard.Stop(), SessionPhase::Running);
    EXPECT_EQ(running, 0);
    EXPECT_FALSE(guard.Begin()) << "until the thread has closed its device and ended";
    guard.End();

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
    ASSERT_TRUE(guard.Begin()) << "and the old stop request is gone";
    EXPECT_TRUE(guard.DeviceStarted());
}

TEST(SessionGuard, WaitsFollowTheSessionThread)
{
    std::atomic<int32_t> running{0};
    SessionGuard guard(running);
    ASSERT_TRUE(guard.Begin());
    std::promise<void> opened, stop;
    std::thread session([&] {
        opened.get_future().wait();
        guard.DeviceStarted();
        stop.get_future().wait();
        guard.End();
    });
    EXPECT_EQ(guard.WaitForStart(0), SessionPhase::Starting) << "the time ran out first";
    opened.set_value();
    EXPECT_EQ(guard.WaitForStart(5000), SessionPhase::Running);
    EXPECT_FALSE(guard.WaitIdle(0));
    stop.set_value();
    EXPECT_TRUE(guard.WaitIdle(5000));
    session.join();
    EXPECT_EQ(running, 0);
}

class SessionStores : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedIn = g_pInputBuffer;
        m_savedOut = g_pOutputBuffer;
        m_savedSize = g_nInputBufferSize;
        std::iota(m_in.begin(), m_in.end(), uint8_t(0));
        std::iota(m_out.begin(), m_out.end(), uint8_t(100));
        g_pInputBuffer = m_in.data();
        g_pOutputBuffer = m_out.data();
        g_nInputBufferSize = g_nOutputBufferSize = 100;
    }
    void TearDown() override
    {
        g_pInputBuffer = m_savedIn;
        g_pOutputBuffer = m_savedOut;
        g_nInputBufferSize = g_nOutputBufferSize = m_savedSize;
        g_nRecordedBytes = g_nInputPos = g_bInputWrapped = 0;
        g_nOutputBytes = g_nOutputPos = g_bOutputWrapped = 0;
        SetToneAllocator(nullptr);
        FreePlaybackSource();
    }
    // v[from, to) counts up from first.
    static bool Counts(const std::vector<uint8_t>& v, int from, int to, int first)
    {
        for (int i = from; i < to; ++i)
            if (v[i] != uint8_t(first + i - from)) return false;
        return true;
    }
    uint8_t* m_savedIn = nullptr;
    uint8_t* m_savedOut = nullptr;
    int32_t m_savedSize = 0;
    std::vector<uint8_t> m_in = std::vector<uint8_t>(100), m_out = std::vector<uint8_t>(100);
};

TEST_F(SessionStores, WrappedStoreIsRotatedOnceAroundItsPositionWhenItsSessionEnds)
{
    // 90 bytes held, the newest block at 30; the last 10 bytes never written.
    g_nRecordedBytes = 90;
    g_nInputPos = 30;
    g_bInputWrapped = 1;
    RotateStoresAtStop(false, true);
    EXPECT_TRUE(Counts(m_in, 0, 100, 0)) << "a Stop that ended no recording leaves it alone";
    RotateStoresAtStop(true, false);
    EXPECT_TRUE(Counts(m_in, 0, 60, 30));
    EXPECT_TRUE(Counts(m_in, 60, 90, 0));
    EXPECT_TRUE(Counts(m_in, 90, 100, 90)) << "bytes past the held ones stay";
    EXPECT_TRUE(Counts(m_out, 0, 100, 100)) << "the playback store had not wrapped";

    g_nOutputBytes = 100;
    g_nOutputPos = 75;
    g_bOutputWrapped = 1;
    RotateStoresAtStop(false, true);
    EXPECT_TRUE(Counts(m_out, 0, 25, 175));
    EXPECT_TRUE(Counts(m_out, 25, 100, 100));

    // Nothing to turn, or an absent store: left alone.
    const std::vector<uint8_t> before = m_in;
    for (int pos : {0, 100, 150, -5}) RotateStore(m_in.data(), 100, pos);
    RotateStore(nullptr, 100, 10);
    EXPECT_EQ(m_in, before);
}

TEST_F(SessionStores, ViewPositionAndScrollBarAtStop)
{
    g_nRecordedBytes = 5000;
    g_nOutputBytes = 3000;
    EXPECT_EQ(ViewPosAtStop(true, true, 7, 512), 3000 - 512) << "a playback ended: its store is viewed";
    EXPECT_EQ(ViewPosAtStop(true, false, 7, 512), 5000 - 512);
    EXPECT_EQ(ViewPosAtStop(false, false, 7, 512), 7) << "nothing ended: the view stays";

    const StopScrollBar bar = ScrollBarAtStop(1047552, 512, 1.0f);
    EXPECT_TRUE(bar.bSet);
    EXPECT_EQ(bar.nMin, 0);
    EXPECT_EQ(bar.nMax, 1047552);
    EXPECT_EQ(bar.nPage, 512);
    EXPECT_EQ(bar.nPos, 1047552);
    EXPECT_EQ(ScrollBarAtStop(9000, 512, 0.3f).nPage, 153) << "153.6 truncated";
    EXPECT_FALSE(ScrollBarAtStop(0, 512, 1.0f).bSet);
    EXPECT_FALSE(ScrollBarAtStop(-412, 512, 1.0f).bSet) << "less than a block was held";
}

uint8_t* NoMemory(size_t) { return nullptr; }

TEST_F(SessionStores, PlaybackCopiesTheRecordingOrStartsNothing)
{
    g_nRecordedBytes = 64;
    ASSERT_TRUE(CopyRecordingToPlaybackSource());
    ASSERT_EQ(g_nPlaybackSourceSize, 64);
    EXPECT_TRUE(std::equal(m_in.begin(), m_in.begin() + 64, g_pPlaybackSource));

    SetToneAllocator(&NoMemory);
    EXPECT_FALSE(CopyRecordingToPlaybackSource());
    EXPECT_EQ(g_pPlaybackSource, nullptr);
    SetToneAllocator(nullptr);
    g_pInputBuffer = nullptr;
    EXPECT_FALSE(CopyRecordingToPlaybackSource()) << "an absent store has nothing to copy";
}

} // namespace

// The session rules without a window: the one-session guard, and what Stop
// does to the stores, the view position and the scroll bar.
#include "app/app_state.h"
#include "audio/session_rules.h"
#include "tones/tone_synth.h"

#include <gtest/gtest.h>

#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

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

// Runs of bytes counting up, {length, first value} each, one after the other.
std::vector<uint8_t> Ramps(std::initializer_list<std::pair<int, int>> runs)
{
    std::vector<uint8_t> v;
    for (const auto& run : runs)
        for (int i = 0; i < run.first; ++i) v.push_back(uint8_t(run.second + i));
    return v;
}

class SessionStores : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::tie(g_pInputBuffer, g_pOutputBuffer, g_nInputBufferSize, g_nOutputBufferSize) =
            std::make_tuple(m_in.data(), m_out.data(), 100, 100);
    }
    void TearDown() override
    {
        std::tie(g_pInputBuffer, g_pOutputBuffer, g_nInputBufferSize, g_nOutputBufferSize) = m_saved;
        g_nRecordedBytes = g_nInputEnd = g_bInputWrapped = g_nOutputBytes = g_nOutputPos = g_bOutputWrapped = 0;
        SetToneAllocator(nullptr);
        FreePlaybackSource();
    }
    const std::tuple<uint8_t*, uint8_t*, int32_t, int32_t> m_saved{g_pInputBuffer, g_pOutputBuffer, g_nInputBufferSize,
                                                                   g_nOutputBufferSize};
    std::vector<uint8_t> m_in = Ramps({{100, 0}}), m_out = Ramps({{100, 100}});
};

TEST_F(SessionStores, StopPutsTheWrappedStoreOfTheEndedSessionInOrderAndViewsItsEnd)
{
    // Bytes held, end of the newest byte, wrapped: 90 bytes, the last 10 never written.
    std::tie(g_nRecordedBytes, g_nInputEnd, g_bInputWrapped) = std::make_tuple(90, 30, 1);
    RotateStoresAtStop(false, true);
    EXPECT_EQ(m_in, Ramps({{100, 0}})) << "a Stop that ended no recording leaves it alone";
    RotateStoresAtStop(true, false);
    EXPECT_EQ(m_in, Ramps({{60, 30}, {30, 0}, {10, 90}})) << "bytes past the held ones stay";
    EXPECT_EQ(g_nInputEnd, 90) << "the newest byte now ends the sound";
    EXPECT_EQ(m_out, Ramps({{100, 100}})) << "the playback store had not wrapped";
    std::tie(g_nOutputBytes, g_nOutputPos, g_bOutputWrapped) = std::make_tuple(100, 75, 1);
    RotateStoresAtStop(false, true);
    EXPECT_EQ(m_out, Ramps({{25, 175}, {75, 100}}));

    // Nothing to turn, or an absent store: left alone.
    const std::vector<uint8_t> before = m_in;
    for (int pos : {0, 100, 150, -5}) RotateStore(m_in.data(), 100, pos);
    RotateStore(nullptr, 100, 10);
    EXPECT_EQ(m_in, before);

    // The view goes one block from the end of the playback store when a playback ended, else of the recording.
    EXPECT_EQ(ViewPosAtStop(true, true, 7, 10), 90);
    EXPECT_EQ(ViewPosAtStop(true, false, 7, 10), 80);
    EXPECT_EQ(ViewPosAtStop(false, false, 7, 10), 7) << "nothing ended: the view stays";
    const StopScrollBar bar = ScrollBarAtStop(90, 512, 0.3f);
    EXPECT_EQ(std::make_tuple(bar.bSet, bar.nMin, bar.nMax, bar.nPage, bar.nPos), std::make_tuple(true, 0, 90, 153, 90))
        << "the thumb at the view, a page of 153.6 bytes truncated";
    EXPECT_FALSE(ScrollBarAtStop(0, 512, 1.0f).bSet || ScrollBarAtStop(-412, 512, 1.0f).bSet) << "nothing above 0 held";
}

TEST_F(SessionStores, PlaybackCopiesTheRecordingOrStartsNothing)
{
    g_nRecordedBytes = 64;
    ASSERT_TRUE(CopyRecordingToPlaybackSource());
    EXPECT_EQ(std::vector<uint8_t>(g_pPlaybackSource, g_pPlaybackSource + g_nPlaybackSourceSize), Ramps({{64, 0}}));
    SetToneAllocator([](size_t) -> uint8_t* { return nullptr; });
    EXPECT_FALSE(CopyRecordingToPlaybackSource()) << "no memory";
    EXPECT_EQ(g_pPlaybackSource, nullptr);
    SetToneAllocator(nullptr);
    g_pInputBuffer = nullptr;
    EXPECT_FALSE(CopyRecordingToPlaybackSource()) << "an absent store has nothing to copy";
}

} // namespace

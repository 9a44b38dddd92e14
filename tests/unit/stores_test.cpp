// The store operations: the rotation at Stop, the view position over what
// was stopped, and the playback source's copy of the recording.
#include "state/app_state.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace {

// Runs of bytes counting up, {length, first value} each, one after the other.
std::vector<uint8_t> Ramps(std::initializer_list<std::pair<int, int>> runs)
{
    std::vector<uint8_t> v;
    for (const auto& run : runs)
        for (int i = 0; i < run.first; ++i) v.push_back(uint8_t(run.second + i));
    return v;
}

class Stores : public ::testing::Test {
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
        SetPlaybackSourceAllocator(nullptr);
        FreePlaybackSource();
    }
    const std::tuple<uint8_t*, uint8_t*, int32_t, int32_t> m_saved{g_pInputBuffer, g_pOutputBuffer, g_nInputBufferSize,
                                                                   g_nOutputBufferSize};
    std::vector<uint8_t> m_in = Ramps({{100, 0}}), m_out = Ramps({{100, 100}});
};

TEST_F(Stores, StopPutsTheWrappedStoreOfTheEndedSessionInOrderAndViewsItsEnd)
{
    // The recording's rotation over a real capture: WaveStream; here the playback store's.
    std::tie(g_nRecordedBytes, g_nInputEnd, g_bInputWrapped) = std::make_tuple(90, 30, 1);
    std::tie(g_nOutputBytes, g_nOutputPos, g_bOutputWrapped) = std::make_tuple(100, 75, 1);
    RotateStoresAtStop(false, true);
    EXPECT_EQ(m_in, Ramps({{100, 0}})) << "a Stop that ended no recording leaves it alone";
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
}

TEST_F(Stores, PlaybackCopiesTheRecordingOrStartsNothing)
{
    g_nRecordedBytes = 64;
    ASSERT_TRUE(CopyRecordingToPlaybackSource());
    EXPECT_EQ(std::vector<uint8_t>(g_pPlaybackSource, g_pPlaybackSource + g_nPlaybackSourceSize), Ramps({{64, 0}}));
    SetPlaybackSourceAllocator([](size_t) -> uint8_t* { return nullptr; });
    EXPECT_FALSE(CopyRecordingToPlaybackSource()) << "no memory";
    EXPECT_EQ(g_pPlaybackSource, nullptr);
    SetPlaybackSourceAllocator(nullptr);
    g_pInputBuffer = nullptr;
    EXPECT_FALSE(CopyRecordingToPlaybackSource()) << "an absent store has nothing to copy";
}

} // namespace

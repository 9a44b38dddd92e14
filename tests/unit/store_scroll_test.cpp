// Scrolling over a stopped recording or playback: each scroll code, and the
// bounds that hold whatever the code, the format and the starting position.
#include <gtest/gtest.h>

#include <initializer_list>

#include "app/store_scroll.h"

namespace {

struct Format {
    int32_t bits, channels, blockFrames;
    int32_t BlockBytes() const { return bits / 8 * channels * blockFrames; }
    int32_t FrameBytes() const { return bits / 8 * channels; }
};

constexpr Format k16Mono = {16, 1, 512};
constexpr Format k16Stereo = {16, 2, 1024};
constexpr Format k8Mono = {8, 1, 512};
constexpr Format k8Stereo = {8, 2, 512};
constexpr Format k24Mono = {24, 1, 1024};

StoreScrollInput Input(const Format& f, int32_t viewPos, int32_t recorded, int32_t output = 0, int32_t track = 0)
{
    return {viewPos, track, f.bits, f.channels, f.blockFrames, recorded, output};
}

TEST(StoreScroll, StepsOverTenRecordedBlocksOf16BitMono)
{
    const int32_t block = k16Mono.BlockBytes();
    const int32_t recorded = 10 * block;
    const int32_t limit = 9 * block;

    StoreScrollResult r = ScrollStore(kScrollToEnd, Input(k16Mono, 0, recorded));
    EXPECT_EQ(r.nLimit, limit);
    EXPECT_EQ(r.nViewPos, limit);
    EXPECT_EQ(ScrollStore(kScrollPageRight, Input(k16Mono, limit, recorded)).nViewPos, limit);
    EXPECT_EQ(ScrollStore(kScrollLineRight, Input(k16Mono, limit, recorded)).nViewPos, limit);

    EXPECT_EQ(ScrollStore(kScrollPageRight, Input(k16Mono, 100, recorded)).nViewPos, 100 + block);
    EXPECT_EQ(ScrollStore(kScrollPageRight, Input(k16Mono, limit - 10, recorded)).nViewPos, limit);
    EXPECT_EQ(ScrollStore(kScrollPageLeft, Input(k16Mono, block, recorded)).nViewPos, 0);
    EXPECT_EQ(ScrollStore(kScrollPageLeft, Input(k16Mono, block + 2, recorded)).nViewPos, 2);
    EXPECT_EQ(ScrollStore(kScrollLineRight, Input(k16Mono, 100, recorded)).nViewPos, 102);
    EXPECT_EQ(ScrollStore(kScrollLineLeft, Input(k16Mono, 100, recorded)).nViewPos, 98);
    EXPECT_EQ(ScrollStore(kScrollToStart, Input(k16Mono, 5000, recorded)).nViewPos, 0);
    for (int unchanged : {int{kScrollThumbPosition}, int{kScrollEnd}, 9, 100})
        EXPECT_EQ(ScrollStore(unchanged, Input(k16Mono, 5000, recorded, 0, 77)).nViewPos, 5000) << unchanged;

    // Only the recording store follows; its anchor lies the block's frame
    // count before the view's distance from the end.
    EXPECT_FALSE(r.bMoveOutput);
    ASSERT_TRUE(r.bMoveInput);
    EXPECT_EQ(r.nInputPos, limit - 512 - limit + recorded);
    EXPECT_EQ(ScrollStore(kScrollToStart, Input(k16Mono, 5000, recorded)).nInputPos, recorded - limit - 512);
}

TEST(StoreScroll, DraggedThumbLandsOnAnEvenByteUnlessFramesAreOneByte)
{
    const int32_t recorded = 40 * 4096;
    EXPECT_EQ(ScrollStore(kScrollThumbTrack, Input(k16Mono, 0, recorded, 0, 1001)).nViewPos, 1002);
    EXPECT_EQ(ScrollStore(kScrollThumbTrack, Input(k24Mono, 0, recorded, 0, 1001)).nViewPos, 1002);
    EXPECT_EQ(ScrollStore(kScrollThumbTrack, Input(k8Stereo, 0, recorded, 0, 1001)).nViewPos, 1002);
    EXPECT_EQ(ScrollStore(kScrollThumbTrack, Input(k8Mono, 0, recorded, 0, 1001)).nViewPos, 1001);
    EXPECT_EQ(ScrollStore(kScrollThumbTrack, Input(k16Mono, 0, recorded, 0, 1000)).nViewPos, 1000);
}

TEST(StoreScroll, LineStepsAfterAnOddDragStayWithinTheStore)
{
    // Stereo 16-bit: four-byte frames. A drag to byte 1 lands on 2, half a
    // frame from the start; a line left from there stops at 0.
    const int32_t recorded = 10 * k16Stereo.BlockBytes();
    StoreScrollResult r = ScrollStore(kScrollThumbTrack, Input(k16Stereo, 0, recorded, 0, 1));
    ASSERT_EQ(r.nViewPos, 2);
    r = ScrollStore(kScrollLineLeft, Input(k16Stereo, r.nViewPos, recorded));
    EXPECT_EQ(r.nViewPos, 0);
    EXPECT_GE(r.nInputPos, 0);
    EXPECT_EQ(ScrollStore(kScrollLineLeft, Input(k16Stereo, 0, recorded)).nViewPos, 0);

    // Near the end a line right stops at the limit.
    const int32_t limit = recorded - k16Stereo.BlockBytes();
    r = ScrollStore(kScrollThumbTrack, Input(k16Stereo, 0, recorded, 0, limit - 3));
    ASSERT_EQ(r.nViewPos, limit - 2);
    EXPECT_EQ(ScrollStore(kScrollLineRight, Input(k16Stereo, r.nViewPos, recorded)).nViewPos, limit);
    // A drag past the end (odd limit at 24 bits) stays at the limit.
    const int32_t odd = 3 * 1001 + k24Mono.BlockBytes();
    EXPECT_EQ(ScrollStore(kScrollThumbTrack, Input(k24Mono, 0, odd, 0, 3003)).nViewPos, 3003);
}

TEST(StoreScroll, PlayedSoundSetsTheLimitAndBothStoresFollow)
{
    const int32_t block = k16Mono.BlockBytes();
    const int32_t recorded = 4 * block, output = 20 * block;
    StoreScrollResult r = ScrollStore(kScrollToEnd, Input(k16Mono, 0, recorded, output));
    EXPECT_EQ(r.nLimit, 19 * block);
    EXPECT_TRUE(r.bMoveOutput);
    EXPECT_EQ(r.nOutputPos, 19 * block);
    EXPECT_EQ(r.nInputPos, recorded - 512);
    // At the start of the longer playback the recording's anchor would fall
    // before its store; it stops at the start.
    r = ScrollStore(kScrollToStart, Input(k16Mono, r.nViewPos, recorded, output));
    EXPECT_EQ(r.nOutputPos, 0);
    EXPECT_EQ(r.nInputPos, 0);

    r = ScrollStore(kScrollToEnd, Input(k16Mono, 0, 0, output));
    EXPECT_FALSE(r.bMoveInput);
}

// Stop leaves the view at the bytes held minus a block, below 0 when less
// than a block was held; a drag can end anywhere on the bar.
TEST(StoreScroll, EveryCodeAndFormatKeepsThePositionsInRange)
{
    for (const Format& f : {k8Mono, k8Stereo, k16Mono, k16Stereo, k24Mono, Format{24, 2, 1024}}) {
        for (int32_t recorded : {0, 1, f.BlockBytes() - 1, f.BlockBytes(), 7 * f.BlockBytes() + 3 * f.FrameBytes()}) {
            for (int32_t output : {0, f.BlockBytes() / 2, 3 * f.BlockBytes()}) {
                const int32_t held = output > 0 ? output : recorded;
                const int32_t limit = held > f.BlockBytes() ? held - f.BlockBytes() : 0;
                for (int32_t start : {INT32_MIN, -5, 0, 1, 3, limit - 1, limit, limit + 1, INT32_MAX}) {
                    for (int32_t track : {-7, 0, 1, limit - 1, limit, limit + 1, INT32_MAX}) {
                        for (int code = 0; code <= 9; ++code) {
                            const StoreScrollResult r = ScrollStore(code, Input(f, start, recorded, output, track));
                            const bool inRange =
                                r.nLimit == limit && r.nViewPos >= 0 && r.nViewPos <= limit &&
                                (!r.bMoveInput || (r.nInputPos >= 0 && r.nInputPos <= recorded)) &&
                                (!r.bMoveOutput || r.nOutputPos == r.nViewPos);
                            ASSERT_TRUE(inRange) << f.bits << "/" << f.channels << " rec " << recorded << " out "
                                                 << output << " from " << start << " track " << track << " code "
                                                 << code << ": view " << r.nViewPos << " of " << r.nLimit
                                                 << ", input " << r.nInputPos;
                        }
                    }
                }
            }
        }
    }
}

} // namespace

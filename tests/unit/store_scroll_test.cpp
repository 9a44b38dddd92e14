// Scrolling over a stopped recording or playback: each scroll code, and the
// bounds that hold whatever the code, the format and the starting position.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "app/store_scroll.h"

namespace {

using V = std::vector<int32_t>;

struct Format {
    int32_t bits, channels, blockFrames;
    int32_t FrameBytes() const { return bits / 8 * channels; }
    int32_t BlockBytes() const { return FrameBytes() * blockFrames; }
};
constexpr Format k8Mono{8, 1, 512}, k8Stereo{8, 2, 512}, k16Mono{16, 1, 512}, k16Stereo{16, 2, 1024},
    k24Mono{24, 1, 1024};

StoreScrollResult Scroll(int code, Format f, int32_t view, int32_t recorded, int32_t output = 0, int32_t track = 0)
{
    return ScrollStore(code, {view, track, f.bits, f.channels, f.blockFrames, recorded, output});
}

TEST(StoreScroll, EachCodeOverTenRecordedBlocksOf16BitMono)
{
    const int32_t block = 1024, recorded = 10 * block, limit = 9 * block;
    // The main window's test drives the codes from the start, at the end and one step each way.
    // Code, from, to; unknown codes (9, 100) change nothing.
    const std::tuple<int, int32_t, int32_t> steps[] = {{kScrollLineRight, limit, limit},
                                                       {kScrollPageRight, limit - 10, limit},
                                                       {kScrollPageLeft, block, 0},
                                                       {kScrollPageLeft, block + 2, 2},
                                                       {kScrollLineLeft, 1, 0},
                                                       {kScrollThumbPosition, 5000, 5000},
                                                       {9, 5000, 5000},
                                                       {100, 5000, 5000}};
    for (const auto& [code, from, to] : steps) {
        const StoreScrollResult r = Scroll(code, k16Mono, from, recorded, 0, 77);
        // Only the recording follows; its anchor keeps the view's distance from the end, 512 (frames) further back.
        EXPECT_EQ((V{r.nLimit, r.nViewPos, r.bMoveInput, r.bMoveOutput, r.nInputPos}),
                  (V{limit, to, 1, 0, recorded - (limit - to) - 512}))
            << "code " << code << " from " << from;
    }

    // Played sound sets the limit and both stores follow; the recording's anchor stops at its start.
    const int32_t output = 20 * block;
    const StoreScrollResult end = Scroll(kScrollToEnd, k16Mono, 0, 4 * block, output);
    EXPECT_EQ((V{end.nLimit, end.nViewPos, end.nOutputPos, end.nInputPos}),
              (V{19 * block, 19 * block, 19 * block, 4 * block - 512}));
    const StoreScrollResult start = Scroll(kScrollToStart, k16Mono, end.nViewPos, 4 * block, output);
    EXPECT_TRUE(start.bMoveOutput && start.bMoveInput && start.nOutputPos == 0 && start.nInputPos == 0);
    EXPECT_FALSE(Scroll(kScrollToEnd, k16Mono, 0, 0, output).bMoveInput);
}

TEST(StoreScroll, DragLandsOnAnEvenByteUnlessFramesAreOneByte)
{
    for (const Format& f : {k16Mono, k24Mono, k8Stereo, k8Mono})
        for (int32_t track : {1000, 1001})
            EXPECT_EQ(Scroll(kScrollThumbTrack, f, 0, 40 * 4096, 0, track).nViewPos,
                      f.FrameBytes() == 1 ? track : (track + 1) / 2 * 2)
                << f.bits << "/" << f.channels << " to " << track;
}

TEST(StoreScroll, ScrollBarAfterStopViewsTheEndOfTheStoredSound)
{
    const StopScrollBar bar = ScrollBarAtStop(90, 512, 0.3f);
    EXPECT_EQ(std::make_tuple(bar.bSet, bar.nMin, bar.nMax, bar.nPage, bar.nPos), std::make_tuple(true, 0, 90, 153, 90))
        << "the thumb at the view, a page of 153.6 bytes truncated";
    EXPECT_FALSE(ScrollBarAtStop(0, 512, 1.0f).bSet || ScrollBarAtStop(-412, 512, 1.0f).bSet) << "nothing above 0 held";
}

// Stop leaves the view at the bytes held minus a block, below 0 when less
// than a block was held; a drag can end anywhere on the bar.
TEST(StoreScroll, EveryCodeAndFormatKeepsThePositionsInRange)
{
    for (const Format& f : {k8Mono, k8Stereo, k16Mono, k16Stereo, k24Mono, Format{24, 2, 1024}})
        for (int32_t recorded : {0, 1, f.BlockBytes() - 1, f.BlockBytes(), 7 * f.BlockBytes() + 3 * f.FrameBytes()})
            for (int32_t output : {0, f.BlockBytes() / 2, 3 * f.BlockBytes()}) {
                const int32_t limit = std::max((output > 0 ? output : recorded) - f.BlockBytes(), 0);
                for (int32_t start : {INT32_MIN, -5, 0, 1, 3, limit - 1, limit, limit + 1, INT32_MAX})
                    for (int32_t track : {-7, 0, 1, limit - 1, limit, limit + 1, INT32_MAX})
                        for (int code = 0; code <= 9; ++code) {
                            const StoreScrollResult r = Scroll(code, f, start, recorded, output, track);
                            ASSERT_TRUE(r.nLimit == limit && r.nViewPos >= 0 && r.nViewPos <= limit &&
                                        (!r.bMoveInput || (r.nInputPos >= 0 && r.nInputPos <= recorded)) &&
                                        (!r.bMoveOutput || r.nOutputPos == r.nViewPos))
                                << f.bits << "/" << f.channels << " rec " << recorded << " out " << output << " from "
                                << start << " track " << track << " code " << code;
                        }
            }
}

} // namespace

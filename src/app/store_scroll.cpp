#include "app/store_scroll.h"

#include <algorithm>

#include "state/app_state.h"

namespace {

// Positions are worked out in 64 bits: a view position left below 0 or a
// step past the end must not overflow before it is brought back in range.
int32_t Within(int64_t value, int64_t low, int64_t high)
{
    return static_cast<int32_t>(std::min(std::max(value, low), high));
}

// A dragged thumb lands on an even byte unless a sample frame is one byte.
bool DragNeedsEvenByte(int32_t bits, int32_t channels) { return !(bits == 8 && channels == 1); }

} // namespace

int32_t StoreScrollLimit(int32_t recordedBytes, int32_t outputBytes, int32_t blockBytes)
{
    const int64_t held = outputBytes > 0 ? outputBytes : recordedBytes;
    return Within(held - blockBytes, 0, INT32_MAX);
}

StoreScrollResult ScrollStore(int code, const StoreScrollInput& in)
{
    const int64_t frameBytes = static_cast<int64_t>(in.nBitsPerSample / 8) * in.nChannels;
    const int64_t blockBytes = frameBytes * in.nBlockFrames;
    const int32_t limit = StoreScrollLimit(in.nRecordedBytes, in.nOutputBytes,
                                           static_cast<int32_t>(std::min<int64_t>(blockBytes, INT32_MAX)));
    const int64_t pos = in.nViewPos;

    int64_t next = pos;
    switch (code) {
    case kScrollLineLeft:
        if (pos >= 1) next = pos - frameBytes;
        break;
    case kScrollLineRight:
        if (pos < limit) next = pos + frameBytes;
        break;
    case kScrollPageLeft: next = pos <= blockBytes ? 0 : pos - blockBytes; break;
    case kScrollPageRight: next = pos + blockBytes >= limit ? limit : pos + blockBytes; break;
    case kScrollThumbTrack:
        next = std::max<int64_t>(in.nTrackPos, 0);
        if (DragNeedsEvenByte(in.nBitsPerSample, in.nChannels)) next += next % 2;
        break;
    case kScrollToStart: next = 0; break;
    case kScrollToEnd: next = limit; break;
    default: // thumb released, end of scrolling and anything else: unchanged
        break;
    }

    StoreScrollResult r = {};
    r.nLimit = limit;
    r.nViewPos = Within(next, 0, limit);
    r.bMoveOutput = in.nOutputBytes > 0;
    r.nOutputPos = r.bMoveOutput ? r.nViewPos : 0;
    r.bMoveInput = in.nRecordedBytes > 0;
    if (r.bMoveInput) {
        // The recording store's anchor keeps its distance to the end of what
        // was recorded as the view keeps to the limit; the block length is
        // taken in frames here, so the anchor sits that many bytes back.
        const int64_t anchor = static_cast<int64_t>(r.nViewPos) - in.nBlockFrames - limit + in.nRecordedBytes;
        r.nInputPos = Within(anchor, 0, in.nRecordedBytes);
    }
    return r;
}

void ApplyStoreScroll(int code, int32_t trackPos)
{
    StoreScrollInput in = {};
    in.nViewPos = g_nViewPos;
    in.nTrackPos = trackPos;
    in.nBitsPerSample = g_nBitsPerSample;
    in.nChannels = g_nChannels;
    in.nBlockFrames = g_nBlockSize;
    in.nRecordedBytes = g_nRecordedBytes;
    in.nOutputBytes = g_nOutputBytes;
    const StoreScrollResult r = ScrollStore(code, in);
    g_nViewPos = r.nViewPos;
    if (r.bMoveOutput) g_nOutputPos = r.nOutputPos;
    if (r.bMoveInput) g_nInputPos = r.nInputPos;
}

StopScrollBar ScrollBarAtStop(int32_t viewPos, int32_t blockBytes, float zoom)
{
    StopScrollBar bar = {false, 0, 0, 0, 0};
    if (viewPos <= 0) return bar;
    bar.bSet = true;
    bar.nMax = viewPos;
    bar.nPage = int32_t(float(blockBytes) * zoom);
    bar.nPos = viewPos;
    return bar;
}

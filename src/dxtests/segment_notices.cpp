#include "dxtests/segment_notices.h"

namespace {

// The segment a segment-end notice is about, with one reference, or the failure.
HResult EndedSegment(const EffectCalls& fx, void* user, IDirectMusicSegment8** ended)
{
    void* state = nullptr;
    HResult hr = fx.querySegmentState(user, &state);
    if (!Succeeded(hr)) return hr;
    void* segment = nullptr;
    hr = fx.stateSegment(state, &segment);
    fx.release(state);
    if (hr == kDmusENotFound) return kSOk; // nothing to match
    if (!Succeeded(hr)) return hr;
    hr = fx.querySegment8(segment, ended);
    fx.release(segment);
    return hr;
}

} // namespace

HResult DrainSegmentNotices(IDirectMusicPerformance8* performance, IDirectMusicSegment8* loaded, bool* loadedEnded)
{
    const EffectCalls& fx = GetEffectCalls();
    SegmentNotice notice = {};
    while (fx.nextNotice(performance, &notice) == kSOk) {
        HResult hr = kSOk;
        if (notice.option == kSegmentEndOption && notice.user) {
            IDirectMusicSegment8* ended = nullptr;
            hr = EndedSegment(fx, notice.user, &ended);
            if (ended) {
                if (loaded && ended == loaded) *loadedEnded = true;
                fx.release(ended);
            }
        }
        fx.freeNotice(performance, notice.message);
        if (!Succeeded(hr)) return hr;
        notice = SegmentNotice{};
    }
    return kSOk;
}

#include "display/feed_analyser.h"

#include "display/analyser_feed.h"
#include "state/display_state.h"
#include "state/sound_format.h"
#include "state/stores.h"

void FeedAnalyser(int32_t position, int kind)
{
    if (kind == kFeedInput) g_nInputPos.store(position, std::memory_order_relaxed);
    if (g_nViewMode != 1) return; // only the spectrum view needs the transform
    const PcmFormat format{g_nBitsPerSample, g_nChannels, g_nBlockSize, g_nSampleRate};
    if (kind == kFeedInput)
        FeedBlock(g_pInputFourier, g_pInputBuffer, g_nInputPos.load(std::memory_order_relaxed), format, g_pPaintLock);
    else
        FeedBlock(g_pOutputFourier, g_pOutputBuffer, g_nOutputPos.load(std::memory_order_relaxed), format,
                  g_pPaintLock);
}

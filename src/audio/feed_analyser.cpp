#include "audio/feed_analyser.h"

#include "app/app_state.h"

void FeedAnalyser(int32_t position, int kind)
{
    if (kind == kFeedInput)
        g_nInputPos.store(position, std::memory_order_relaxed);
    // The spectrum analysis of the newest block joins here.
}

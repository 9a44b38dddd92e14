#include "display/feed_analyser.h"

#include "state/stores.h"

void FeedAnalyser(int32_t position, int kind)
{
    if (kind == kFeedInput) g_nInputPos.store(position, std::memory_order_relaxed);
    // The spectrum analysis of the newest block joins here.
}

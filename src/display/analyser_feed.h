// One block of a store into an analyser, as the device completions do it.
#pragma once

#include <cstdint>

#include "display/view_inputs.h"

class CFourier;

constexpr unsigned kFeedLockWaitMs = 10;

// Adds the block that ends at storePos (or the store's first block) to the
// analyser's history and, when the paint lock is obtained within 10 ms,
// transforms it. Without the lock the block waits in the history for the
// next call.
void FeedBlock(CFourier* analyser, const uint8_t* store, int storePos, const PcmFormat& format, SyncLock* paintLock);

#include "display/analyser_feed.h"

#include "display/fourier.h"
#include "platform/sync.h"

void FeedBlock(CFourier* analyser, const uint8_t* store, int storePos, const PcmFormat& format, SyncLock* paintLock)
{
    if (!analyser || !store) return;
    const bool locked = paintLock && SyncLockWait(paintLock, kFeedLockWaitMs);
    const int blockBytes = format.bits / 8 * format.channels * format.blockSize;
    int start = storePos - blockBytes;
    if (start < 0) start = 0;
    analyser->AddBlock(store, start, format.bits, format.channels, format.blockSize);
    if (locked || !paintLock) analyser->Transform();
    if (locked) SyncUnlock(paintLock);
}

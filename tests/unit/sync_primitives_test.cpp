// Named locks, events and the counter of the synchronisation seam.
#include "platform/sync.h"

#include <gtest/gtest.h>

#include <future>

namespace {

// Whether another thread gets the lock within timeoutMs (and releases it).
bool OtherThreadGets(SyncLock* lock, uint32_t timeoutMs)
{
    return std::async(std::launch::async,
                      [=] { return SyncLockWait(lock, timeoutMs) ? (SyncUnlock(lock), true) : false; })
        .get();
}

TEST(SyncLock, OpenersOfOneNameShareTheLockAndAWaitEndsWithItsTime)
{
    SyncLock *a = SyncOpenNamedLock("SYNC_TEST_LOCK"), *b = SyncOpenNamedLock("SYNC_TEST_LOCK");
    SyncLock* other = SyncOpenNamedLock("SYNC_TEST_OTHER");
    ASSERT_TRUE(SyncLockWait(a, 0));
    ASSERT_TRUE(SyncLockWait(a, 0)) << "the holder may take it again";
    const int64_t start = SyncCounter();
    EXPECT_FALSE(OtherThreadGets(b, 20));
    EXPECT_GE((SyncCounter() - start) * 1000 / SyncCounterFrequency(), 15) << "the counter measures the 20 ms wait";
    EXPECT_TRUE(OtherThreadGets(other, 0));
    SyncUnlock(a);
    EXPECT_FALSE(OtherThreadGets(b, 0)) << "still held once";
    SyncUnlock(a);
    EXPECT_TRUE(OtherThreadGets(b, kSyncInfinite));
    for (SyncLock* lock : {a, b, other}) SyncCloseLock(lock);
}

TEST(SyncEvent, ManualStaysSetAndAutoReleasesOneWait)
{
    SyncEvent *manual = SyncCreateEvent(true, true), *automatic = SyncCreateEvent(false, false);
    EXPECT_TRUE(SyncWaitEvent(manual, 0) && SyncWaitEvent(manual, 0));
    SyncResetEvent(manual);
    EXPECT_FALSE(SyncWaitEvent(manual, 10));
    auto setter = std::async(std::launch::async, [&] { SyncSetEvent(automatic); });
    EXPECT_TRUE(SyncWaitEvent(automatic, kSyncInfinite));
    EXPECT_FALSE(SyncWaitEvent(automatic, 0)) << "a successful wait clears it";
    setter.get();
    for (SyncEvent* event : {manual, automatic}) SyncCloseEvent(event);
}

} // namespace

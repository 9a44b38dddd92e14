// Named locks, events and the counter of the synchronisation seam.
#include "platform/sync.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Runs f on another thread and returns its answer.
template <class F>
bool OnOtherThread(F f)
{
    bool result = false;
    std::thread t([&] { result = f(); });
    t.join();
    return result;
}

TEST(SyncLock, OpenersOfOneNameShareTheLock)
{
    SyncLock* a = SyncOpenNamedLock("SYNC_TEST_LOCK");
    SyncLock* b = SyncOpenNamedLock("SYNC_TEST_LOCK");
    SyncLock* other = SyncOpenNamedLock("SYNC_TEST_OTHER");

    ASSERT_TRUE(SyncLockWait(a, 0));
    ASSERT_TRUE(SyncLockWait(a, 0)) << "the holder may take it again";
    EXPECT_FALSE(OnOtherThread([&] { return SyncLockWait(b, 20); }));
    EXPECT_TRUE(OnOtherThread([&] {
        const bool got = SyncLockWait(other, 0);
        SyncUnlock(other);
        return got;
    }));
    SyncUnlock(a);
    EXPECT_FALSE(OnOtherThread([&] { return SyncLockWait(b, 0); })) << "still held once";
    SyncUnlock(a);
    EXPECT_TRUE(OnOtherThread([&] {
        const bool got = SyncLockWait(b, kSyncInfinite);
        SyncUnlock(b);
        return got;
    }));

    SyncCloseLock(a);
    SyncCloseLock(b);
    SyncCloseLock(other);
}

TEST(SyncEvent, ManualStaysSetAndAutoReleasesOneWait)
{
    SyncEvent* manual = SyncCreateEvent(true, true);
    EXPECT_TRUE(SyncWaitEvent(manual, 0));
    EXPECT_TRUE(SyncWaitEvent(manual, 0));
    SyncResetEvent(manual);
    EXPECT_FALSE(SyncWaitEvent(manual, 10));

    SyncEvent* automatic = SyncCreateEvent(false, false);
    std::thread setter([&] { SyncSetEvent(automatic); });
    EXPECT_TRUE(SyncWaitEvent(automatic, kSyncInfinite));
    setter.join();
    EXPECT_FALSE(SyncWaitEvent(automatic, 0)) << "a successful wait clears it";

    SyncCloseEvent(manual);
    SyncCloseEvent(automatic);
}

TEST(SyncCounter, AdvancesAcrossASleep)
{
    const int64_t frequency = SyncCounterFrequency();
    ASSERT_GT(frequency, 0);
    const int64_t before = SyncCounter();
    SyncSleep(5);
    EXPECT_GE(SyncCounter() - before, frequency * 5 / 1000);
}

} // namespace

// A lock that another thread holds for the lifetime of this object.
#pragma once

#include <future>

#include "platform/sync.h"

struct HeldElsewhere {
    std::promise<void> release;
    std::future<void> done;
    explicit HeldElsewhere(SyncLock* lock)
    {
        std::promise<void> held;
        auto heldNow = held.get_future();
        done = std::async(std::launch::async, [lock, &held, r = release.get_future()]() mutable {
            SyncLockWait(lock, kSyncInfinite);
            held.set_value();
            r.wait();
            SyncUnlock(lock);
        });
        heldNow.wait();
    }
    ~HeldElsewhere()
    {
        release.set_value();
        done.wait();
    }
};

// Portable synchronisation on the standard library. Named locks live in a
// process-wide registry, so two objects that open "WAVECLOSEMUTEX" share one
// lock, as two opens of a named kernel mutex do.
#include "platform/sync.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>

struct SyncLock {
    std::string name; // empty for a private lock
    int opens = 0;    // guarded by the registry mutex

    // Recursive and timed, like a kernel mutex. Built from a plain mutex and a
    // condition variable so that every platform's thread library and the
    // thread sanitizer see only the simplest primitives.
    std::mutex guard;
    std::condition_variable released;
    std::thread::id owner;
    int depth = 0;
};

struct SyncEvent {
    std::mutex guard;
    std::condition_variable changed;
    bool manualReset = false;
    bool set = false;
};

namespace {

std::mutex& RegistryMutex()
{
    static std::mutex m;
    return m;
}

// Never destroyed: a lock may still be closed by a thread that outlives the
// static destructors.
std::map<std::string, SyncLock*>& Registry()
{
    static auto* registry = new std::map<std::string, SyncLock*>();
    return *registry;
}

template <class Predicate>
bool WaitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lk, uint32_t timeoutMs, Predicate ready)
{
    if (timeoutMs == kSyncInfinite) {
        cv.wait(lk, ready);
        return true;
    }
    return cv.wait_for(lk, std::chrono::milliseconds(timeoutMs), ready);
}

} // namespace

SyncLock* SyncOpenNamedLock(const char* name)
{
    if (name == nullptr || *name == '\0') {
        auto* lock = new SyncLock();
        lock->opens = 1;
        return lock;
    }
    std::lock_guard<std::mutex> reg(RegistryMutex());
    SyncLock*& slot = Registry()[name];
    if (slot == nullptr) {
        slot = new SyncLock();
        slot->name = name;
    }
    ++slot->opens;
    return slot;
}

bool SyncLockWait(SyncLock* lock, uint32_t timeoutMs)
{
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> lk(lock->guard);
    if (lock->depth > 0 && lock->owner == self) {
        ++lock->depth;
        return true;
    }
    if (!WaitFor(lock->released, lk, timeoutMs, [lock] { return lock->depth == 0; })) return false;
    lock->owner = self;
    lock->depth = 1;
    return true;
}

void SyncUnlock(SyncLock* lock)
{
    std::lock_guard<std::mutex> lk(lock->guard);
    if (lock->depth == 0 || lock->owner != std::this_thread::get_id())
        return; // not ours: a kernel mutex refuses the release as well
    if (--lock->depth == 0) {
        lock->owner = std::thread::id();
        lock->released.notify_one();
    }
}

void SyncCloseLock(SyncLock* lock)
{
    if (lock == nullptr) return;
    std::lock_guard<std::mutex> reg(RegistryMutex());
    if (--lock->opens > 0) return;
    if (!lock->name.empty()) Registry().erase(lock->name);
    delete lock;
}

SyncEvent* SyncCreateEvent(bool manualReset, bool initiallySet)
{
    auto* event = new SyncEvent();
    event->manualReset = manualReset;
    event->set = initiallySet;
    return event;
}

void SyncSetEvent(SyncEvent* event)
{
    std::lock_guard<std::mutex> lk(event->guard);
    event->set = true;
    if (event->manualReset)
        event->changed.notify_all();
    else
        event->changed.notify_one();
}

void SyncResetEvent(SyncEvent* event)
{
    std::lock_guard<std::mutex> lk(event->guard);
    event->set = false;
}

bool SyncWaitEvent(SyncEvent* event, uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lk(event->guard);
    if (!WaitFor(event->changed, lk, timeoutMs, [event] { return event->set; })) return false;
    if (!event->manualReset) event->set = false;
    return true;
}

void SyncCloseEvent(SyncEvent* event) { delete event; }

int64_t SyncCounter() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

int64_t SyncCounterFrequency()
{
    using Period = std::chrono::steady_clock::period;
    return Period::den / Period::num;
}

void SyncSleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Synchronisation and time on the Windows kernel: a named lock is a kernel
// mutex (so "WAVECLOSEMUTEX" is one object for every opener, as the system
// names it), events are kernel events, the counter is the performance
// counter. A kernel mutex is recursive and only its holder can release it,
// which is what sync.h promises.
#include "platform/sync.h"

#include <windows.h>

static_assert(kSyncInfinite == INFINITE, "the same endless wait");

namespace {

HANDLE AsHandle(SyncLock* lock) { return reinterpret_cast<HANDLE>(lock); }
HANDLE AsHandle(SyncEvent* event) { return reinterpret_cast<HANDLE>(event); }

} // namespace

SyncLock* SyncOpenNamedLock(const char* name)
{
    const char* kernelName = name != nullptr && *name != '\0' ? name : nullptr;
    return reinterpret_cast<SyncLock*>(CreateMutexA(nullptr, FALSE, kernelName));
}

bool SyncLockWait(SyncLock* lock, uint32_t timeoutMs)
{
    // An abandoned mutex (its holder ended without releasing it) is now ours.
    const DWORD result = WaitForSingleObject(AsHandle(lock), timeoutMs);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void SyncUnlock(SyncLock* lock) { ReleaseMutex(AsHandle(lock)); }

void SyncCloseLock(SyncLock* lock)
{
    if (lock != nullptr) CloseHandle(AsHandle(lock));
}

SyncEvent* SyncCreateEvent(bool manualReset, bool initiallySet)
{
    return reinterpret_cast<SyncEvent*>(CreateEventA(nullptr, manualReset, initiallySet, nullptr));
}

void SyncSetEvent(SyncEvent* event) { SetEvent(AsHandle(event)); }
void SyncResetEvent(SyncEvent* event) { ResetEvent(AsHandle(event)); }

bool SyncWaitEvent(SyncEvent* event, uint32_t timeoutMs)
{
    return WaitForSingleObject(AsHandle(event), timeoutMs) == WAIT_OBJECT_0;
}

void SyncCloseEvent(SyncEvent* event)
{
    if (event != nullptr) CloseHandle(AsHandle(event));
}

int64_t SyncCounter()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

int64_t SyncCounterFrequency()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

void SyncSleep(uint32_t ms) { Sleep(ms); }

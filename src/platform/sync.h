// Synchronisation and time: the few kernel services the core needs.
//
// A lock taken with a time-out (optionally named, so that every opener of the
// same name shares one lock), manual- and auto-reset events with a timed wait,
// a monotonic high-resolution counter with its frequency, and a sleep.
//
// The handles are opaque so that a Win32 file can implement the same functions
// with CreateMutexA / WaitForSingleObject / ReleaseMutex, CreateEventA,
// QueryPerformanceCounter and Sleep. The portable implementation (sync.cpp)
// uses the standard library; its names are shared within the process only.
//
// Semantics both implementations keep:
// - a lock is recursive: the thread that holds it may take it again, and
//   releases it as many times as it took it;
// - every successful open is paired with one close, and a lock is released
//   only by the thread that holds it;
// - a wait on an auto-reset event that succeeds clears the event; a set
//   auto-reset event releases exactly one waiter.
#pragma once

#include <cstdint>

struct SyncLock;
struct SyncEvent;

constexpr uint32_t kSyncInfinite = 0xFFFFFFFFu;

// Creates the lock called name, or opens it when it exists already; not held
// on return. A null name makes a private lock. Never returns null.
SyncLock* SyncOpenNamedLock(const char* name);
// True once the calling thread holds the lock; false when timeoutMs ran out.
bool SyncLockWait(SyncLock* lock, uint32_t timeoutMs);
void SyncUnlock(SyncLock* lock);
void SyncCloseLock(SyncLock* lock);

SyncEvent* SyncCreateEvent(bool manualReset, bool initiallySet);
void SyncSetEvent(SyncEvent* event);
void SyncResetEvent(SyncEvent* event);
// True when the event was set within timeoutMs.
bool SyncWaitEvent(SyncEvent* event, uint32_t timeoutMs);
void SyncCloseEvent(SyncEvent* event);

// Monotonic counter and its counts per second.
int64_t SyncCounter();
int64_t SyncCounterFrequency();

void SyncSleep(uint32_t ms);

// The recording store, the playback store, the playback source and the view
// position over a stopped store, with every operation on them: allocation,
// fitting to the format, clearing, the resets of Record and Playback, the
// rotation at Stop and the playback source's allocation.
//
// Threads: the user-interface thread owns the stores: it allocates, sizes,
// clears and rotates them, and only while no session could write them. While
// a session runs, the device completions write a store's bytes and its
// counters (bytes held, position, wrapped flag) through the SharedStore the
// session hands its CWave; the user-interface thread reads them (statistics,
// display, scrolling) and accepts a value one block old. The counters are
// atomics with relaxed use for that reason.
//
// A store that could not be allocated is null with a usable size of 0, so
// every loop bounded by the size does nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// One store and the counters its writer keeps. A recording store holds
// exactly the bytes the device recorded, gap-free; once wrapped, the sound
// held runs from nEnd to nBytes and on from 0 to nEnd, which Stop turns into
// reading order.
struct SharedStore {
    uint8_t* pBuffer = nullptr;         // owned by the user-interface thread
    int32_t nSize = 0;                  // usable bytes (whole frames)
    std::atomic<int32_t> nBytes{0};     // bytes of sound held, never more than nSize
    std::atomic<int32_t> nPos{0};       // recording: block most recently captured; playback: write position
    std::atomic<int32_t> nEnd{0};       // recording: just past the newest captured byte
    std::atomic<int32_t> bWrapped{0};   // the position has gone back to 0 at least once
    std::atomic<int64_t> nDelivered{0}; // bytes the devices delivered into it since start-up (diagnostics)
};

extern SharedStore g_RecordingStore;
extern SharedStore g_PlaybackStore;

// The names every part of the program uses, bound to the two stores' fields.
extern uint8_t*& g_pInputBuffer;
extern int32_t& g_nInputBufferSize;
extern std::atomic<int32_t>& g_nRecordedBytes; // bytes of sound held, at most g_nInputBufferSize
extern std::atomic<int32_t>& g_nInputPos;
extern std::atomic<int32_t>& g_nInputEnd;
extern std::atomic<int32_t>& g_bInputWrapped;
extern uint8_t*& g_pOutputBuffer; // a copy of every block the output device has played
extern int32_t& g_nOutputBufferSize;
extern std::atomic<int32_t>& g_nOutputBytes;
extern std::atomic<int32_t>& g_nOutputPos;
extern std::atomic<int32_t>& g_bOutputWrapped;

// Scroll position over a stopped recording or playback (user-interface thread only).
extern int32_t g_nViewPos;

// The sound a playback session plays in a loop: a tone or a copy of the
// recording. Written by the user-interface thread only while no playback
// session is under way; read by the playback session.
extern uint8_t* g_pPlaybackSource;
extern int32_t g_nPlaybackSourceSize;

// ---------------------------------------------------------------- sizes

// Rounding unit of the usable store size: channels x 1, 2, 3 or 4 bytes for up
// to 8, 16, 24 or 32 bits; 0 (no rounding) above 32 bits.
int32_t StoreRoundingUnit(int32_t channels, int32_t bits);
int32_t UsableStoreSize(int32_t tableSize, int32_t channels, int32_t bits);

// Sets both usable store sizes from a table size, rounded down to whole
// frames of the current format. An absent store gets size 0.
void FitStoreSizes(int32_t tableSize);

// ---------------------------------------------------------------- allocation

// The store allocation can be replaced (tests make it fail on purpose).
using StoreAllocFn = void* (*)(size_t);
void SetStoreAllocator(StoreAllocFn fn); // null restores malloc

// Allocate one store (after FreeStores) of tableSize bytes and set its
// position to 0; false when it cannot be had.
bool AllocateInputStore(int32_t tableSize);
bool AllocateOutputStore(int32_t tableSize);
void FreeStores();

// ---------------------------------------------------------------- clearing

// Counters, positions, wrapped flags and the view position to 0 and both
// stores to silence. Does nothing while a recording or playback runs;
// returns whether it acted.
bool ResetStores();

// Record while a playback runs: only the recording side is reset (count,
// position and wrapped flag to 0, the store to silence).
void ResetRecordingSide();

// Playback command: the playback store's count, position and wrapped flag
// to 0; at 8 bits the store is filled with 128. Other resolutions keep the
// old bytes until they are overwritten.
void ResetPlaybackSide();

// ---------------------------------------------------------------- Stop

// Puts a ring store into reading order in place: the bytes from pos up to
// bytes, followed by the bytes from 0 up to pos. A null store, a length of
// 0 or less, or a position outside 1 .. bytes-1 leave it as it is.
void RotateStore(uint8_t* store, int32_t bytes, int32_t pos);

// Rotates the recording store (around g_nInputEnd, g_nRecordedBytes bytes:
// oldest byte first, newest last; g_nInputEnd then marks the end) when it has
// wrapped and this Stop ended the capture session, and the playback store
// (around g_nOutputPos, g_nOutputBytes bytes) when it has wrapped and this
// Stop ended the playback session. A store is put in order
// once per session that filled it: a Stop with nothing running, or one that
// ended only the other session, leaves it alone.
void RotateStoresAtStop(bool captureStopped, bool playbackStopped);

// The view position after Stop: the playback store's bytes minus one block
// when a playback was ended, else the recording store's bytes minus one
// block when a recording was ended, else `current`. May be below 0.
int32_t ViewPosAtStop(bool captureStopped, bool playbackStopped, int32_t current, int32_t blockBytes);

// ---------------------------------------------------------------- playback source

// The playback source is allocated with new[] and released with delete[].
// Both release the previous source first. AllocatePlaybackSource returns the
// new buffer, or null with g_nPlaybackSourceSize 0 when it cannot be had.
uint8_t* AllocatePlaybackSource(int32_t bytes);
void FreePlaybackSource();

// Tests replace the allocation to make it fail. The allocator must return
// memory that delete[] releases, or null; null restores new (std::nothrow).
using PlaybackSourceAllocFn = uint8_t* (*)(size_t bytes);
void SetPlaybackSourceAllocator(PlaybackSourceAllocFn fn);

// Playback command: replaces the playback source with a copy of the first
// g_nRecordedBytes bytes of the recording store. False when nothing could be
// copied (no recording store, or no memory for the source); the source is
// then absent.
bool CopyRecordingToPlaybackSource();

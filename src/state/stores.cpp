#include "state/stores.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "state/session_state.h"
#include "state/sound_format.h"

SharedStore g_RecordingStore;
SharedStore g_PlaybackStore;

uint8_t*& g_pInputBuffer = g_RecordingStore.pBuffer;
int32_t& g_nInputBufferSize = g_RecordingStore.nSize;
std::atomic<int32_t>& g_nRecordedBytes = g_RecordingStore.nBytes;
std::atomic<int32_t>& g_nInputPos = g_RecordingStore.nPos;
std::atomic<int32_t>& g_nInputEnd = g_RecordingStore.nEnd;
std::atomic<int32_t>& g_bInputWrapped = g_RecordingStore.bWrapped;
uint8_t*& g_pOutputBuffer = g_PlaybackStore.pBuffer;
int32_t& g_nOutputBufferSize = g_PlaybackStore.nSize;
std::atomic<int32_t>& g_nOutputBytes = g_PlaybackStore.nBytes;
std::atomic<int32_t>& g_nOutputPos = g_PlaybackStore.nPos;
std::atomic<int32_t>& g_bOutputWrapped = g_PlaybackStore.bWrapped;

int32_t g_nViewPos = 0;

uint8_t* g_pPlaybackSource = nullptr;
int32_t g_nPlaybackSourceSize = 0;

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

StoreAllocFn g_pfnStoreAlloc = &std::malloc;

uint8_t* NewBytes(size_t bytes) { return new (std::nothrow) uint8_t[bytes]; }
PlaybackSourceAllocFn g_pfnSourceAlloc = &NewBytes;

void FillStore(uint8_t* store, int32_t size, uint8_t value)
{
    if (store && size > 0) std::memset(store, value, static_cast<size_t>(size));
}

// Counters of one store back to 0.
void ZeroCounters(SharedStore& store)
{
    store.nBytes.store(0, kRelaxed);
    store.nPos.store(0, kRelaxed);
    store.nEnd.store(0, kRelaxed);
    store.bWrapped.store(0, kRelaxed);
}

bool AllocateStore(SharedStore& store, int32_t size)
{
    store.pBuffer = size > 0 ? static_cast<uint8_t*>(g_pfnStoreAlloc(static_cast<size_t>(size))) : nullptr;
    store.nSize = store.pBuffer ? size : 0;
    store.nPos = 0;
    return store.pBuffer != nullptr;
}

void FreeStore(SharedStore& store)
{
    std::free(store.pBuffer);
    store.pBuffer = nullptr;
    store.nSize = 0;
}

// Puts the bytes a wrapped store holds in reading order around where its
// oldest byte starts; returns how many it holds.
int32_t RotateHeld(SharedStore& store, int32_t oldest)
{
    const int32_t bytes = std::min(store.nBytes.load(kRelaxed), store.nSize);
    RotateStore(store.pBuffer, bytes, oldest);
    return bytes;
}

} // namespace

// ---------------------------------------------------------------- sizes

int32_t StoreRoundingUnit(int32_t channels, int32_t bits)
{
    if (bits <= 8) return channels * 1;
    if (bits <= 16) return channels * 2;
    if (bits <= 24) return channels * 3;
    if (bits <= 32) return channels * 4;
    return 0;
}

int32_t UsableStoreSize(int32_t tableSize, int32_t channels, int32_t bits)
{
    const int32_t unit = StoreRoundingUnit(channels, bits);
    if (unit <= 0) return tableSize;
    return tableSize - tableSize % unit;
}

void FitStoreSizes(int32_t tableSize)
{
    const int32_t usable = UsableStoreSize(tableSize, g_nChannels, g_nBitsPerSample);
    g_nInputBufferSize = g_pInputBuffer ? usable : 0;
    g_nOutputBufferSize = g_pOutputBuffer ? usable : 0;
}

// ---------------------------------------------------------------- allocation

void SetStoreAllocator(StoreAllocFn fn) { g_pfnStoreAlloc = fn ? fn : &std::malloc; }

bool AllocateInputStore(int32_t tableSize) { return AllocateStore(g_RecordingStore, tableSize); }
bool AllocateOutputStore(int32_t tableSize) { return AllocateStore(g_PlaybackStore, tableSize); }

void FreeStores()
{
    FreeStore(g_RecordingStore);
    FreeStore(g_PlaybackStore);
}

// ---------------------------------------------------------------- clearing

bool ResetStores()
{
    if (g_bRecording || g_bPlaying) return false;
    ZeroCounters(g_RecordingStore);
    ZeroCounters(g_PlaybackStore);
    g_nViewPos = 0;
    FillStore(g_pInputBuffer, g_nInputBufferSize, SilenceValue());
    FillStore(g_pOutputBuffer, g_nOutputBufferSize, SilenceValue());
    return true;
}

void ResetRecordingSide()
{
    ZeroCounters(g_RecordingStore);
    FillStore(g_pInputBuffer, g_nInputBufferSize, SilenceValue());
}

void ResetPlaybackSide()
{
    ZeroCounters(g_PlaybackStore);
    if (g_nBitsPerSample == 8) FillStore(g_pOutputBuffer, g_nOutputBufferSize, 128);
}

// ---------------------------------------------------------------- Stop

void RotateStore(uint8_t* store, int32_t bytes, int32_t pos)
{
    if (store == nullptr || bytes <= 0 || pos <= 0 || pos >= bytes) return;
    // In place: the same order as copying [pos, bytes) and then [0, pos) to
    // a temporary and back, without a second store-sized allocation.
    std::rotate(store, store + pos, store + bytes);
}

void RotateStoresAtStop(bool captureStopped, bool playbackStopped)
{
    // The recording around the end of its newest byte: what lies after it,
    // up to the end of the sound held, is the oldest. The stretch past that
    // end, which no block reached, is left out of g_nRecordedBytes.
    if (captureStopped && g_bInputWrapped.load(kRelaxed))
        g_nInputEnd.store(RotateHeld(g_RecordingStore, g_nInputEnd.load(kRelaxed)), kRelaxed);
    if (playbackStopped && g_bOutputWrapped.load(kRelaxed)) RotateHeld(g_PlaybackStore, g_nOutputPos.load(kRelaxed));
}

int32_t ViewPosAtStop(bool captureStopped, bool playbackStopped, int32_t current, int32_t blockBytes)
{
    if (playbackStopped) return g_nOutputBytes.load(kRelaxed) - blockBytes;
    if (captureStopped) return g_nRecordedBytes.load(kRelaxed) - blockBytes;
    return current;
}

// ---------------------------------------------------------------- playback source

void SetPlaybackSourceAllocator(PlaybackSourceAllocFn fn) { g_pfnSourceAlloc = fn ? fn : &NewBytes; }

void FreePlaybackSource()
{
    delete[] g_pPlaybackSource;
    g_pPlaybackSource = nullptr;
    g_nPlaybackSourceSize = 0;
}

uint8_t* AllocatePlaybackSource(int32_t bytes)
{
    FreePlaybackSource();
    if (bytes <= 0) return nullptr;
    g_pPlaybackSource = g_pfnSourceAlloc(static_cast<size_t>(bytes));
    if (g_pPlaybackSource) g_nPlaybackSourceSize = bytes;
    return g_pPlaybackSource;
}

bool CopyRecordingToPlaybackSource()
{
    const int32_t bytes = std::min(g_nRecordedBytes.load(kRelaxed), g_nInputBufferSize);
    if (g_pInputBuffer == nullptr || bytes <= 0) {
        FreePlaybackSource();
        return false;
    }
    uint8_t* source = AllocatePlaybackSource(bytes);
    if (source == nullptr) return false;
    std::memcpy(source, g_pInputBuffer, size_t(bytes));
    return true;
}

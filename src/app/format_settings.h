// Sound format and buffer settings: the combo tables, the values derived from
// the current choice, and the store handling behind the format combos.
// Portable core; format_controls.cpp connects it to the main window.
#pragma once

#include <cstddef>
#include <cstdint>

// Each table is a null-closed label list and a parallel value list closed by -1.
extern const char* const kSampleRateLabels[];
extern const int32_t kSampleRateValues[];
extern const char* const kChannelLabels[];
extern const char* const kResolutionLabels[];
extern const char* const kViewLabels[];
extern const char* const kFrameSpeedLabels[];
extern const int32_t kFrameSpeedValues[];
extern const char* const kBufferSizeLabels[];
extern const int32_t kBufferSizeValues[];

// Default selections at start-up.
constexpr int kDefaultRateIndex = 2;        // "11025Hz (Telephone)"
constexpr int kDefaultChannelIndex = 0;     // "1 (Mono)"
constexpr int kDefaultResolutionIndex = 0;  // "8 bit"
constexpr int kDefaultViewIndex = 0;        // "Waveform"
constexpr int kDefaultFrameSpeedIndex = 1;  // "Fast"
constexpr int kDefaultBufferIndex = 1;      // "2MB"

// Table value of an index; indexes outside the table (no selection is -1) give 0.
int32_t SampleRateAt(int index);
int32_t FrameIntervalAt(int index);
int32_t BufferSizeAt(int index);
int BitsForResolutionIndex(int index); // 0 -> 8, 1 -> 16, anything else -> 24

int32_t BytesPerSample();  // g_nBitsPerSample / 8
int32_t FrameBytes();      // bytes per sample x channels
int32_t BlockBytes();      // frame bytes x g_nBlockSize
uint8_t SilenceValue();    // 128 at 8 bits, else 0
int32_t BlockSizeForRate(int32_t rate);

// Rounding unit of the usable store size: channels x 1, 2, 3 or 4 bytes for up
// to 8, 16, 24 or 32 bits; 0 (no rounding) above 32 bits.
int32_t StoreRoundingUnit(int32_t channels, int32_t bits);
int32_t UsableStoreSize(int32_t tableSize, int32_t channels, int32_t bits);

// Re-derives rate, block size, channels, bits and bytes per second from the
// three combo selections, and gives the new rate to the analysers that exist.
void DeriveFormat(int rateIndex, int channelIndex, int resolutionIndex);

// Sets both usable store sizes from the buffer table entry, rounded down to
// whole frames. An absent store gets size 0 so nothing ever touches it.
void FitStoreSizes(int bufferIndex);

// The store allocation can be replaced (tests make it fail on purpose).
using StoreAllocFn = void* (*)(size_t);
void SetStoreAllocator(StoreAllocFn fn); // null restores malloc

// Allocate one store (after FreeStores) at the table size of bufferIndex
// and set its position to 0; false when it cannot be had.
bool AllocateInputStore(int bufferIndex);
bool AllocateOutputStore(int bufferIndex);

enum StoreFailure { kInputStoreFailed = 1, kOutputStoreFailed = 2 };
// Frees both stores and allocates them at the table size of bufferIndex;
// returns a mask of StoreFailure bits. Positions are set to 0.
int ReallocateStores(int bufferIndex);
void FreeStores();

// Counters, positions and wrapped flags to 0 and both stores to silence.
// Does nothing while a recording or playback runs; returns whether it acted.
bool ResetStores();

#include "app/format_settings.h"

#include <cstdlib>
#include <cstring>

#include "app/app_state.h"
#include "display/fourier.h"

const char* const kSampleRateLabels[] = {
    "5000Hz",  "8000Hz",  "11025Hz (Telephone)",  "16000Hz",            "22050Hz (Radio)",
    "24000Hz", "32000Hz", "44100Hz (CD quality)", "48000Hz (DAT Tape)", "64000Hz",
    "88200Hz", "96000Hz", "128000Hz",             nullptr};
const int32_t kSampleRateValues[] = {5000,  8000,  11025, 16000, 22050, 24000, 32000,
                                     44100, 48000, 64000, 88200, 96000, 128000, -1};
const char* const kChannelLabels[] = {"1 (Mono)", "2 (Stereo)", nullptr};
const char* const kResolutionLabels[] = {"8 bit", "16 bit", "24 bit", nullptr};
const char* const kViewLabels[] = {"Waveform", "Spectrum", "None", nullptr};
const char* const kFrameSpeedLabels[] = {"Very Fast", "Fast",      "Medium", "Slow",
                                         "Very Slow", "Super Slow", nullptr};
const int32_t kFrameSpeedValues[] = {30, 50, 100, 200, 500, 1000, -1};
const char* const kBufferSizeLabels[] = {"1MB", "2MB", "5MB", "10MB", "15MB", "20MB", nullptr};
const int32_t kBufferSizeValues[] = {1048576,  2097152,  5242880,
                                     10485760, 15728640, 20971520, -1};

namespace {

int32_t ValueAt(const int32_t* values, int index)
{
    if (index < 0) return 0;
    for (int i = 0; values[i] != -1; ++i)
        if (i == index) return values[i];
    return 0;
}

StoreAllocFn g_pfnStoreAlloc = &std::malloc;

void FillStore(uint8_t* store, int32_t size, uint8_t value)
{
    if (store && size > 0) std::memset(store, value, static_cast<size_t>(size));
}

} // namespace

int32_t SampleRateAt(int index) { return ValueAt(kSampleRateValues, index); }
int32_t FrameIntervalAt(int index) { return ValueAt(kFrameSpeedValues, index); }
int32_t BufferSizeAt(int index) { return ValueAt(kBufferSizeValues, index); }

int BitsForResolutionIndex(int index)
{
    if (index == 0) return 8;
    if (index == 1) return 16;
    return 24;
}

int32_t BytesPerSample() { return g_nBitsPerSample / 8; }
int32_t FrameBytes() { return BytesPerSample() * g_nChannels; }
int32_t BlockBytes() { return FrameBytes() * g_nBlockSize; }
uint8_t SilenceValue() { return g_nBitsPerSample == 8 ? 128 : 0; }
int32_t BlockSizeForRate(int32_t rate) { return rate < 44100 ? 512 : 1024; }

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

void DeriveFormat(int rateIndex, int channelIndex, int resolutionIndex)
{
    g_nSampleRate = SampleRateAt(rateIndex);
    if (g_pOutputFourier) g_pOutputFourier->SetSampleRate(g_nSampleRate);
    if (g_pInputFourier) g_pInputFourier->SetSampleRate(g_nSampleRate);
    g_nBlockSize = BlockSizeForRate(g_nSampleRate);
    g_nChannels = channelIndex + 1;
    g_nBitsPerSample = BitsForResolutionIndex(resolutionIndex);
    g_nBytesPerSec = (g_nBitsPerSample / 8) * g_nChannels * g_nSampleRate;
}

void FitStoreSizes(int bufferIndex)
{
    const int32_t usable = UsableStoreSize(BufferSizeAt(bufferIndex), g_nChannels, g_nBitsPerSample);
    g_nInputBufferSize = g_pInputBuffer ? usable : 0;
    g_nOutputBufferSize = g_pOutputBuffer ? usable : 0;
}

void SetStoreAllocator(StoreAllocFn fn) { g_pfnStoreAlloc = fn ? fn : &std::malloc; }

void FreeStores()
{
    std::free(g_pInputBuffer);
    g_pInputBuffer = nullptr;
    g_nInputBufferSize = 0;
    std::free(g_pOutputBuffer);
    g_pOutputBuffer = nullptr;
    g_nOutputBufferSize = 0;
}

namespace {

uint8_t* AllocateStore(int32_t size)
{
    return size > 0 ? static_cast<uint8_t*>(g_pfnStoreAlloc(static_cast<size_t>(size))) : nullptr;
}

} // namespace

bool AllocateInputStore(int bufferIndex)
{
    const int32_t size = BufferSizeAt(bufferIndex);
    g_pInputBuffer = AllocateStore(size);
    g_nInputBufferSize = g_pInputBuffer ? size : 0;
    g_nInputPos = 0;
    return g_pInputBuffer != nullptr;
}

bool AllocateOutputStore(int bufferIndex)
{
    const int32_t size = BufferSizeAt(bufferIndex);
    g_pOutputBuffer = AllocateStore(size);
    g_nOutputBufferSize = g_pOutputBuffer ? size : 0;
    g_nOutputPos = 0;
    return g_pOutputBuffer != nullptr;
}

int ReallocateStores(int bufferIndex)
{
    FreeStores();
    int failed = 0;
    if (!AllocateInputStore(bufferIndex)) failed |= kInputStoreFailed;
    if (!AllocateOutputStore(bufferIndex)) failed |= kOutputStoreFailed;
    return failed;
}

bool ResetStores()
{
    if (g_bRecording || g_bPlaying) return false;
    g_nRecordedBytes = 0;
    g_nInputPos = 0;
    g_nInputEnd = 0;
    g_bInputWrapped = 0;
    g_nOutputBytes = 0;
    g_nOutputPos = 0;
    g_bOutputWrapped = 0;
    g_nViewPos = 0;
    FillStore(g_pInputBuffer, g_nInputBufferSize, SilenceValue());
    FillStore(g_pOutputBuffer, g_nOutputBufferSize, SilenceValue());
    return true;
}

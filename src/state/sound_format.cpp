#include "state/sound_format.h"

int32_t g_nSampleRate = 11025;
int32_t g_nChannels = 1;
int32_t g_nBitsPerSample = 8;
int32_t g_nBytesPerSec = 11025;
int32_t g_nBlockSize = 512;

int32_t BytesPerSample() { return g_nBitsPerSample / 8; }
int32_t FrameBytes() { return BytesPerSample() * g_nChannels; }
int32_t BlockBytes() { return FrameBytes() * g_nBlockSize; }
uint8_t SilenceValue() { return g_nBitsPerSample == 8 ? 128 : 0; }
int32_t BlockSizeForRate(int32_t rate) { return rate < 44100 ? 512 : 1024; }

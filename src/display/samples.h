// Reading one sample of one channel out of interleaved little-endian PCM.
#pragma once

#include <cstdint>

// The sample that starts at byte offset of buffer, as a signed value: 8-bit
// samples are unsigned with 128 as silence, 16, 24 and 32-bit ones signed
// (24-bit sign-extended from bit 23). Any other width reads 0.
int ReadSample(int offset, const uint8_t* buffer, int bits);

// Bytes one sample of the width takes: 1 up to 8 bits, 2 up to 16, 3 up to
// 24, 4 up to 32.
int SampleBytes(int bits);

// Byte offset of the channel's sample in the frame that holds offset; 0 for a
// channel outside 0 to channels - 1.
int SampleOffset(int offset, int bits, int channels, int channel);

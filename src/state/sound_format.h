// The sound format of every session, view and file: derived from the format
// combos (app/format_settings), read everywhere.
//
// Threads: written only by the user-interface thread, and only while no
// session is under way (the format combos are greyed then); read by every
// thread, including the device completions of a running session.
#pragma once

#include <cstdint>

extern int32_t g_nSampleRate;    // Hz, requested
extern int32_t g_nChannels;      // 1 or 2
extern int32_t g_nBitsPerSample; // 8, 16 or 24
extern int32_t g_nBytesPerSec;   // bits/8 x channels x rate
extern int32_t g_nBlockSize;     // frames per device block: 512 below 44100 Hz, else 1024

int32_t BytesPerSample(); // g_nBitsPerSample / 8
int32_t FrameBytes();     // bytes per sample x channels
int32_t BlockBytes();     // frame bytes x g_nBlockSize
uint8_t SilenceValue();   // 128 at 8 bits, else 0
int32_t BlockSizeForRate(int32_t rate);

// Sound format and buffer settings: the combo tables and the sound format
// derived from the current choice.
//
// Portable core; format_settings_win.h connects it to the main window's
// combos, and the stores it sizes are handled in state/stores.h.
#pragma once

#include <cstdint>

// Tables as in shell/combo_tables.h.
extern const char* const kSampleRateLabels[];
extern const int32_t kSampleRateValues[];
extern const char* const kChannelLabels[];
extern const char* const kResolutionLabels[];
extern const char* const kBufferSizeLabels[];
extern const int32_t kBufferSizeValues[];

// Default selections at start-up.
constexpr int kDefaultRateIndex = 2;       // "11025Hz (Telephone)"
constexpr int kDefaultChannelIndex = 0;    // "1 (Mono)"
constexpr int kDefaultResolutionIndex = 0; // "8 bit"
constexpr int kDefaultBufferIndex = 1;     // "2MB"

// Table value of an index; indexes outside the table (no selection is -1) give 0.
int32_t SampleRateAt(int index);
int32_t BufferSizeAt(int index);
int BitsForResolutionIndex(int index); // 0 -> 8, 1 -> 16, anything else -> 24

// Re-derives rate, block size, channels, bits and bytes per second from the
// three combo selections, and gives the new rate to the analysers that exist.
void DeriveFormat(int rateIndex, int channelIndex, int resolutionIndex);

// The WAV writer: the RIFF/WAVE byte layout of the program's only sound file
// and the writing of a whole file through standard C file output. Plain PCM
// for 8- and 16-bit sound (44-byte header), the extensible format above 16
// bits (68-byte header); little-endian throughout, the samples exactly as they
// stand in memory, no pad byte after odd data and no other chunk.
//
// Portable core. The Win32 save commands only ask for the file name and show
// the box that WavResultBox names; the save dialog's settings are here so
// that they are spelt once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "shell/message_boxes.h"

struct WavFormat {
    int32_t nSampleRate;
    int32_t nChannels;
    int32_t nBitsPerSample;
};

// nLength bytes at pData, written nTimes in succession (a count below 1
// writes no samples).
struct WavSource {
    const uint8_t* pData;
    int32_t nLength;
    int32_t nTimes;
};

enum class WavResult {
    Ok,
    UnsupportedFormat, // 24-bit sound above 100000 Hz; no file touched
    TooLarge,          // the data does not fit the 32-bit size fields; no file touched
    OpenFailed,        // the file, or the one beside it, cannot be opened or replaced; nothing changed
    WriteFailed,       // a write failed part-way; the old file is kept, the partial one removed
};

constexpr size_t kWavPcmHeaderBytes = 44;
constexpr size_t kWavExtensibleHeaderBytes = 68;

// 44 up to 16 bits, 68 above.
size_t WavHeaderBytes(int32_t bitsPerSample);

// Bytes of the data chunk: length x times, 0 for no data or a count below 1.
int64_t WavDataBytes(const WavSource& source);

// False only for the sound the program does not save: above 16 bits and
// above 100000 Hz (24-bit 128000 Hz of the rate table).
bool WavFormatSupported(const WavFormat& format);

// Whether a data chunk of dataBytes keeps the RIFF size (the file length less
// 8) within 32 bits.
bool WavDataFits(int32_t bitsPerSample, int64_t dataBytes);

// The header bytes, up to and including the data chunk's size field.
std::vector<uint8_t> BuildWavHeader(const WavFormat& format, uint32_t dataBytes);

// The current format and the two things that are saved: the recording
// (g_nRecordedBytes of g_pInputBuffer, once) and the tone (the playback source,
// g_nToneRepeatCount times).
WavFormat CurrentWavFormat();
WavSource RecordingWavSource();
WavSource ToneWavSource();

// Save Recording saves only when something was recorded.
bool RecordingAvailable();

// Writes a complete file beside the destination and then puts it in place
// of any file of that name (platform/replacing_file.h); a failed write leaves
// the old file as it was. Refusals come before anything is opened. Nothing in
// memory changes.
WavResult WriteWavToPath(const char* path, const WavFormat& format, const WavSource& source);

// The writer of both save commands: the current format, and the tone when
// bTone is true, else the recording.
WavResult WriteWavFile(const char* fileName, bool bTone);

// The box to show for a result; MessageBoxId::None for Ok.
MessageBoxId WavResultBox(WavResult result);

// The save-file dialog: title, one filter entry (double-null closed, as the
// dialog wants it), default extension, and the length of the name buffer,
// which starts empty. No overwrite prompt: a file of that name is replaced.
inline constexpr char kSaveWavTitle[] = "Save wav file";
inline constexpr char kSaveWavFilter[] = "Wave Files (*.wav)\0*.wav\0";
inline constexpr char kSaveWavDefaultExt[] = "wav";
constexpr int kWavFileNameChars = 300;

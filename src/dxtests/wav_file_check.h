// Structure check of WAV files (RIFF WAVE) given to the effects test, so
// that a truncated or damaged one is refused before the platform's loader
// makes a segment of it: chunk lengths within the file, a "fmt " chunk of a
// PCM, float or extensible format whose sizes agree, then a "data" chunk
// holding whole frames.
#pragma once

#include <cstddef>
#include <cstdint>

enum class WavCheck {
    Sound,  // a complete, well-formed WAV file
    Broken, // starts "RIFF....WAVE" but is damaged
    NotWav, // something else: not ours to judge
};

WavCheck CheckWavBytes(const uint8_t* data, size_t size);
// The file's check; a file that cannot be opened or is too large is left to
// the loader (NotWav).
WavCheck CheckWavContentFile(const char* path);

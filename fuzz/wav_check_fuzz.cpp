// The WAV structure check: any bytes a sound file may hold.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dxtests/wav_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const WavCheck result = CheckWavBytes(data, size);
    // Only a file that starts as RIFF WAVE with a header's room can be judged sound.
    if (result == WavCheck::Sound && (size < 44 || std::memcmp(data, "RIFF", 4) || std::memcmp(data + 8, "WAVE", 4)))
        std::abort();
    return 0;
}

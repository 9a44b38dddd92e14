// The MIDI structure check: any bytes a content file may hold.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dxtests/midi_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const MidiCheck result = CheckMidiBytes(data, size);
    // Only a file that starts as MIDI or RIFF can be judged sound.
    if (result == MidiCheck::Sound && (size < 4 || (std::memcmp(data, "MThd", 4) && std::memcmp(data, "RIFF", 4))))
        std::abort();
    if (result == MidiCheck::Unreadable) std::abort(); // bytes in memory are always readable
    return 0;
}

// Structure check of standard MIDI files (and RIFF RMID files that wrap
// one), so that a truncated or damaged file is refused before it becomes a
// segment. Only the structure is checked: chunk lengths, event lengths,
// data bytes, running status and the end-of-track event of every track.
#pragma once

#include <cstddef>
#include <cstdint>

enum class MidiCheck {
    Sound,     // a complete, well-formed MIDI file
    Broken,    // looks like MIDI (starts "MThd", or RIFF RMID) but is damaged
    NotMidi,   // something else (a segment, a WAV file, ...): not ours to judge
    Unreadable // the file cannot be opened; the loader will say why
};

MidiCheck CheckMidiBytes(const uint8_t* data, size_t size);
MidiCheck CheckMidiContentFile(const char* path);

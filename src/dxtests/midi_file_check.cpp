#include "dxtests/midi_file_check.h"

#include <cstring>
#include <vector>

#include "dxtests/content_bytes.h"

namespace {

uint32_t Big32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
uint16_t Big16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
uint32_t Little32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

class Reader {
public:
    Reader(const uint8_t* p, size_t n) : m_p(p), m_end(p + n) {}
    bool AtEnd() const { return m_p == m_end; }
    bool Byte(uint8_t* b)
    {
        if (m_p == m_end) return false;
        *b = *m_p++;
        return true;
    }
    // A variable-length quantity: at most four bytes.
    bool Quantity(uint32_t* value)
    {
        *value = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!Byte(&b)) return false;
            *value = (*value << 7) | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    bool Skip(uint32_t n)
    {
        if (size_t(m_end - m_p) < n) return false;
        m_p += n;
        return true;
    }

private:
    const uint8_t* m_p;
    const uint8_t* m_end;
};

// Data bytes that follow a channel status byte (0x80..0xEF).
int ChannelDataBytes(uint8_t status)
{
    uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

bool TrackIsSound(const uint8_t* data, uint32_t size)
{
    Reader r(data, size);
    uint8_t running = 0;
    while (!r.AtEnd()) {
        uint32_t delta;
        uint8_t first;
        if (!r.Quantity(&delta) || !r.Byte(&first)) return false;
        if (first == 0xFF) { // meta event
            uint8_t type;
            uint32_t length;
            if (!r.Byte(&type) || !r.Quantity(&length) || !r.Skip(length)) return false;
            if (type == 0x2F) return length == 0 && r.AtEnd(); // end of track, last event
            continue;
        }
        if (first == 0xF0 || first == 0xF7) { // system exclusive
            uint32_t length;
            if (!r.Quantity(&length) || !r.Skip(length)) return false;
            running = 0;
            continue;
        }
        if (first >= 0xF1) return false; // system common and real-time are not file events
        int dataBytes;
        if (first & 0x80) {
            running = first;
            dataBytes = ChannelDataBytes(first);
        } else {
            if (!running) return false; // a data byte with no status to run on
            dataBytes = ChannelDataBytes(running) - 1;
        }
        for (int i = 0; i < dataBytes; ++i) {
            uint8_t b;
            if (!r.Byte(&b) || (b & 0x80)) return false;
        }
    }
    return false; // no end-of-track event
}

MidiCheck CheckStandardMidi(const uint8_t* data, size_t size)
{
    if (size < 14) return MidiCheck::Broken;
    uint32_t headerLength = Big32(data + 4);
    if (headerLength < 6 || headerLength > size - 8) return MidiCheck::Broken;
    uint16_t format = Big16(data + 8);
    uint16_t tracks = Big16(data + 10);
    uint16_t division = Big16(data + 12);
    if (format > 2 || tracks == 0 || (format == 0 && tracks != 1) || division == 0) {
        return MidiCheck::Broken;
    }
    size_t at = 8 + size_t(headerLength);
    int found = 0;
    while (found < tracks) {
        if (size - at < 8) return MidiCheck::Broken;
        uint32_t length = Big32(data + at + 4);
        if (length > size - at - 8) return MidiCheck::Broken;
        if (std::memcmp(data + at, "MTrk", 4) == 0) {
            if (!TrackIsSound(data + at + 8, length)) return MidiCheck::Broken;
            ++found;
        } else if (std::memcmp(data + at, "MThd", 4) == 0) {
            return MidiCheck::Broken;
        }
        at += 8 + size_t(length); // chunks of other types are skipped
    }
    return MidiCheck::Sound;
}

} // namespace

MidiCheck CheckMidiBytes(const uint8_t* data, size_t size)
{
    if (size >= 4 && std::memcmp(data, "MThd", 4) == 0) return CheckStandardMidi(data, size);
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "RMID", 4) != 0) {
        return MidiCheck::NotMidi;
    }
    // RIFF RMID: the standard MIDI file is the "data" chunk.
    // A chunk's pad byte can be missing at the very end, which leaves `at`
    // one past the file: it is compared before the subtraction.
    size_t at = 12;
    while (at <= size && size - at >= 8) {
        uint32_t length = Little32(data + at + 4);
        if (length > size - at - 8) return MidiCheck::Broken;
        if (std::memcmp(data + at, "data", 4) == 0) {
            if (length < 4 || std::memcmp(data + at + 8, "MThd", 4) != 0) return MidiCheck::Broken;
            return CheckStandardMidi(data + at + 8, length);
        }
        at += 8 + size_t(length) + (length & 1); // RIFF chunks are padded to even length
    }
    return MidiCheck::Broken;
}

MidiCheck CheckMidiContentFile(const char* path)
{
    std::vector<uint8_t> bytes;
    auto claims = [](const uint8_t* head) { return CheckMidiBytes(head, 12) != MidiCheck::NotMidi; };
    if (!ReadContentBytes(path, claims, bytes)) return MidiCheck::Unreadable;
    if (bytes.size() > kMaxCheckedBytes) return MidiCheck::NotMidi;
    return CheckMidiBytes(bytes.data(), bytes.size());
}

// Damaged copies of a good MIDI file: truncations, wrong chunk lengths and
// counts, bad event bytes and random bytes. Each is one the program must
// refuse. headed: the copy still starts with "MThd" (or RIFF RMID), so it
// claims to be MIDI; the others are refused by the loader itself.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

struct MidiVariant {
    std::string name;
    std::vector<uint8_t> bytes;
    bool headed;
};

inline uint32_t VariantBig32(const std::vector<uint8_t>& b, size_t at)
{
    return (uint32_t(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

inline void VariantSetBig32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (24 - 8 * i));
}

// good: a format 1 file with at least two tracks, its first event of the
// second track a note or program change with an explicit status byte.
inline std::vector<MidiVariant> MakeBrokenMidiVariants(const std::vector<uint8_t>& good)
{
    std::vector<MidiVariant> out;
    auto add = [&](const std::string& name, std::vector<uint8_t> bytes, bool headed = true) {
        out.push_back({name, std::move(bytes), headed});
    };
    auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + n); };
    const size_t track1 = 14; // first MTrk chunk
    const size_t track2 = track1 + 8 + VariantBig32(good, track1 + 4);

    add("empty", {}, false);
    add("cut in the header", cut(8));
    add("header only", cut(14));
    add("cut in a chunk head", cut(track1 + 6));
    add("cut at half", cut(good.size() / 2));
    add("last byte missing", cut(good.size() - 1));
    add("end of track missing", cut(good.size() - 3));

    std::vector<uint8_t> b;
    b = good;
    VariantSetBig32(b, 4, 2);
    add("header length 2", b);
    b = good;
    VariantSetBig32(b, 4, 0x7FFFFFFF);
    add("header length huge", b);
    b = good;
    VariantSetBig32(b, track1 + 4, VariantBig32(good, track1 + 4) + 1);
    add("track length one long", b);
    b = good;
    VariantSetBig32(b, track1 + 4, VariantBig32(good, track1 + 4) - 1);
    add("track length one short", b);
    b = good;
    VariantSetBig32(b, track2 + 4, 0xFFFFFFF0);
    add("track length past the end", b);
    b = good;
    b[11] += 1;
    add("one track too many", b);
    b = good;
    b[10] = 0;
    b[11] = 0;
    add("no tracks", b);
    b = good;
    b[9] = 0;
    add("format 0 with many tracks", b);
    b = good;
    b[9] = 7;
    add("unknown format", b);
    b = good;
    b[12] = 0;
    b[13] = 0;
    add("division 0", b);
    b = good;
    std::memcpy(&b[track2], "MTrx", 4);
    add("track renamed", b);
    b = good;
    b[track2 + 8 + 2] = 0xC0;
    add("status byte where data belongs", b);
    b = good;
    b[track2 + 8 + 1] = 0x40;
    add("data byte without running status", b);
    b = good;
    b[b.size() - 1] = 1;
    add("end of track with a length", b);
    b = good;
    b[track2 + 8 + 1] = 0xF3;
    add("system common event in a file", b);
    b = good;
    b[track2 + 8] = 0xFF;
    b[track2 + 9] = 0xFF;
    b[track2 + 10] = 0xFF;
    b[track2 + 11] = 0xFF;
    add("delta time of five bytes", b);

    std::mt19937 random(20261207);
    for (int seed = 0; seed < 3; ++seed) {
        b = cut(14);
        for (size_t i = 14; i < good.size(); ++i) b.push_back(uint8_t(random()));
        add("random bytes after the header " + std::to_string(seed), b);
    }
    b.clear();
    for (size_t i = 0; i < good.size(); ++i) b.push_back(uint8_t(random()));
    add("random bytes", b, false);

    // A RIFF RMID file whose data chunk is cut short.
    b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'};
    uint32_t length = uint32_t(good.size());
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(length >> (8 * i)));
    b.insert(b.end(), good.begin(), good.begin() + good.size() / 2);
    add("RMID with its data cut", b);
    return out;
}

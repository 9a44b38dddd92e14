// Damaged copies of a good MIDI file, each one the program must refuse:
// truncations, wrong chunk lengths and counts, bad event bytes and random
// bytes. headed: the copy still starts with "MThd" (or RIFF RMID), so it
// claims to be MIDI; the others are refused by the loader itself.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct MidiVariant {
    std::string name;
    std::vector<uint8_t> bytes;
    bool headed;
};

// good: a format 1 file with at least two tracks, its first event of the
// second track a note or program change with an explicit status byte.
inline std::vector<MidiVariant> MakeBrokenMidiVariants(const std::vector<uint8_t>& good)
{
    std::vector<MidiVariant> out;
    auto add = [&](const std::string& name, std::vector<uint8_t> bytes, bool headed = true) {
        out.push_back({name, std::move(bytes), headed});
    };
    auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + long(n)); };
    auto big32 = [](uint32_t v) {
        return std::vector<uint8_t>{uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    };
    auto length = [&](size_t chunk) { // a chunk's length field, big-endian
        return size_t(good[chunk + 4]) << 24 | size_t(good[chunk + 5]) << 16 | good[chunk + 6] << 8 | good[chunk + 7];
    };
    const size_t track1 = 14, length1 = length(track1), track2 = track1 + 8 + length1;
    const size_t event2 = track2 + 8; // delta time, status, data of track 2's first event

    add("empty", {}, false);
    for (size_t n : {size_t(8), track1 + 6, good.size() / 2, good.size() - 1, good.size() - 3})
        add("cut to " + std::to_string(n) + " bytes", cut(n));
    for (size_t at = track1; at < good.size(); at += 8 + length(at)) { // at every chunk boundary
        add("cut before the chunk at " + std::to_string(at), cut(at));
        add("cut after the head of the chunk at " + std::to_string(at), cut(at + 8));
    }

    const struct {
        const char* name;
        size_t at;
        std::vector<uint8_t> bytes;
    } patches[] = {
        {"header length 2", 4, big32(2)},
        {"header length huge", 4, big32(0x7FFFFFFF)},
        {"track length one long", track1 + 4, big32(uint32_t(length1 + 1))},
        {"track length one short", track1 + 4, big32(uint32_t(length1 - 1))},
        {"track length past the end", track2 + 4, big32(0xFFFFFFF0)},
        {"one track too many", 11, {uint8_t(good[11] + 1)}},
        {"no tracks", 10, {0, 0}},
        {"format 0 with many tracks", 8, {0, 0}},
        {"unknown format", 8, {0, 7}},
        {"division 0", 12, {0, 0}},
        {"track renamed", track2, {'M', 'T', 'r', 'x'}},
        {"status byte where data belongs", event2 + 2, {0xC0}},
        {"data byte without running status", event2 + 1, {0x40}},
        {"system common event in a file", event2 + 1, {0xF3}},
        {"delta time of five bytes", event2, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"end of track with a length", good.size() - 1, {1}},
    };
    std::vector<uint8_t> b;
    for (const auto& p : patches) {
        b = good;
        std::copy(p.bytes.begin(), p.bytes.end(), b.begin() + long(p.at));
        add(p.name, b);
    }

    // A RIFF RMID file whose data chunk is cut short, and one whose odd-length
    // first chunk lacks its pad byte at the end (once read past the end).
    b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'};
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(good.size() >> (8 * i)));
    b.insert(b.end(), good.begin(), good.begin() + long(good.size() / 2));
    add("RMID with its data cut", b);
    add("RMID ending in an odd chunk without its pad",
        {'R', 'I', 'F', 'F', 9, 0, 0, 0, 'R', 'M', 'I', 'D', 'L', 'I', 'S', 'T', 1, 0, 0, 0, 'x'});

    std::mt19937 random(20261207);
    for (int seed = 0; seed < 3; ++seed) {
        b = cut(14);
        for (size_t i = 14; i < good.size(); ++i) b.push_back(uint8_t(random()));
        add("random bytes after the header " + std::to_string(seed), b);
    }
    b.clear();
    for (size_t i = 0; i < good.size(); ++i) b.push_back(uint8_t(random()));
    add("random bytes", b, false);
    // Up to 100 copies in all: a run of 4 to 20 random bytes in the header's
    // fields or a track's head, so that no copy stays sound by chance, and
    // three bytes anywhere after the header.
    const size_t heads[] = {4, 8, track1, track1 + 4, track2, track2 + 4};
    for (int n = 0; out.size() < 100; ++n) {
        b = good;
        const size_t at = heads[n % 6], run = 4 + random() % 17;
        for (size_t i = at; i < at + run && i < b.size(); ++i) b[i] = uint8_t(random());
        for (size_t i = 0; i < 3; ++i) b[track1 + random() % (b.size() - track1)] = uint8_t(random());
        add("random bytes at " + std::to_string(at) + " " + std::to_string(n), b);
    }
    return out;
}

// A hundred damaged copies of a good PCM WAV file (a 44-byte header and
// its data): truncations at every chunk boundary and within the data,
// lengths that lie, format fields that disagree, chunks out of order, and
// random bytes over the header. Each must be refused by the WAV check;
// "headed" is false for copies that no longer start "RIFF....WAVE".
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct WavVariant {
    std::string name;
    std::vector<uint8_t> bytes;
    bool headed;
};

inline std::vector<WavVariant> MakeBrokenWavVariants(const std::vector<uint8_t>& good)
{
    std::vector<WavVariant> out;
    auto add = [&](const std::string& name, std::vector<uint8_t> bytes, bool headed = true) {
        out.push_back({name, std::move(bytes), headed});
    };
    auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + n); };
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> b = good;
        std::copy(bytes.begin(), bytes.end(), b.begin() + at);
        return b;
    };
    auto le32 = [](uint32_t v) {
        return std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    };
    auto le16 = [](uint32_t v) { return std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8)}; };

    add("empty", {}, false);
    add("cut in the RIFF head", cut(6), false);
    for (size_t at : {12, 20, 36, 44}) add("cut at the chunk boundary " + std::to_string(at), cut(at));
    for (size_t at : {size_t(16), size_t(24), size_t(40), size_t(46), good.size() / 2, good.size() - 1})
        add("cut at " + std::to_string(at), cut(at));

    const uint32_t dataBytes = uint32_t(good.size() - 44);
    const struct {
        const char* name;
        size_t at;
        std::vector<uint8_t> bytes;
    } patches[] = {
        {"RIFF size one long", 4, le32(uint32_t(good.size() - 7))},
        {"RIFF size huge", 4, le32(0xFFFFFFF0u)},
        {"format length 14", 16, le32(14)},
        {"format length past the end", 16, le32(0x7FFFFFFF)},
        {"data length one long", 40, le32(dataBytes + 1)},
        {"data length of a part frame", 40, le32(dataBytes - 2)},
        {"data length 0", 40, le32(0)},
        {"data length huge", 40, le32(0xFFFFFFFFu)},
        {"ADPCM format", 20, le16(2)},
        {"no channels", 22, le16(0)},
        {"rate 0", 24, le32(0)},
        {"bytes per second wrong", 28, le32(1234)},
        {"block align wrong", 32, le16(3)},
        {"12 bits", 34, le16(12)},
        {"0 bits", 34, le16(0)},
        {"extensible without its extension", 20, le16(0xFFFE)},
        {"format renamed", 12, {'f', 'm', 't', 'x'}},
        {"data renamed", 36, {'d', 'a', 't', 'x'}},
        {"data before the format", 12, {'d', 'a', 't', 'a'}},
    };
    for (const auto& p : patches) add(p.name, patched(p.at, p.bytes));
    {
        std::vector<uint8_t> b = cut(36); // a second format chunk before the data
        b.insert(b.end(), good.begin() + 12, good.begin() + 36);
        b.insert(b.end(), good.begin() + 36, good.end());
        const std::vector<uint8_t> size = le32(uint32_t(b.size() - 8));
        std::copy(size.begin(), size.end(), b.begin() + 4);
        add("two formats", b);
    }

    // Random bytes: a run of 4 to 12 over a header field, and three more
    // anywhere in the header after "WAVE", up to 100 copies in all.
    std::mt19937 random(20261207);
    const size_t fields[] = {4, 16, 20, 24, 28, 32, 36, 40};
    for (int n = 0; out.size() < 100; ++n) {
        std::vector<uint8_t> b = good;
        const size_t at = fields[n % 8], run = 4 + random() % 9;
        for (size_t i = at; i < at + run && i < 44; ++i)
            if (i < 8 || i >= 12) b[i] = uint8_t(random()); // "WAVE" stays
        for (int i = 0; i < 3; ++i) b[12 + random() % 32] = uint8_t(random());
        add("random bytes at " + std::to_string(at) + " " + std::to_string(n), b);
    }
    return out;
}

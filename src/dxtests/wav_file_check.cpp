#include "dxtests/wav_file_check.h"

#include <cstring>
#include <vector>

#include "dxtests/content_bytes.h"

namespace {

uint32_t Little32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Little16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

// Block alignment of a sound "fmt " chunk, or 0 when the chunk is not one.
uint32_t FrameBytesOf(const uint8_t* fmt, uint32_t length)
{
    if (length < 16) return 0;
    const uint16_t tag = Little16(fmt), channels = Little16(fmt + 2), align = Little16(fmt + 12),
                   bits = Little16(fmt + 14);
    const uint32_t rate = Little32(fmt + 4), bytesPerSec = Little32(fmt + 8);
    if (tag != kFormatPcm && tag != kFormatFloat && tag != kFormatExtensible) return 0;
    if (tag == kFormatExtensible && (length < 40 || Little16(fmt + 16) < 22)) return 0;
    if (channels == 0 || rate == 0 || bits == 0 || bits % 8 != 0 || bits > 64) return 0;
    if (align != uint32_t(channels) * (bits / 8) || bytesPerSec != uint64_t(rate) * align) return 0;
    return align;
}

} // namespace

WavCheck CheckWavBytes(const uint8_t* data, size_t size)
{
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        return WavCheck::NotWav;
    }
    // The RIFF size must not promise more than the file holds.
    const uint64_t riffEnd = uint64_t(Little32(data + 4)) + 8;
    if (riffEnd > size) return WavCheck::Broken;
    const size_t end = size_t(riffEnd);
    uint32_t frameBytes = 0;
    size_t at = 12;
    while (at <= end && end - at >= 8) {
        const uint32_t length = Little32(data + at + 4);
        if (length > end - at - 8) return WavCheck::Broken;
        const uint8_t* body = data + at + 8;
        if (std::memcmp(data + at, "fmt ", 4) == 0) {
            if (frameBytes != 0) return WavCheck::Broken; // a second format
            frameBytes = FrameBytesOf(body, length);
            if (frameBytes == 0) return WavCheck::Broken;
        } else if (std::memcmp(data + at, "data", 4) == 0) {
            // Sound needs its format first, and holds whole frames.
            return frameBytes != 0 && length > 0 && length % frameBytes == 0 ? WavCheck::Sound : WavCheck::Broken;
        }
        at += 8 + size_t(length) + (length & 1); // chunks are padded to even length
    }
    return WavCheck::Broken; // no data chunk
}

WavCheck CheckWavContentFile(const char* path)
{
    std::vector<uint8_t> bytes;
    auto claims = [](const uint8_t* head) { return CheckWavBytes(head, 12) != WavCheck::NotWav; };
    if (!ReadContentBytes(path, claims, bytes) || bytes.size() > kMaxCheckedBytes) return WavCheck::NotWav;
    return CheckWavBytes(bytes.data(), bytes.size());
}

#include "display/samples.h"

int ReadSample(int offset, const uint8_t* buffer, int bits)
{
    const uint8_t* p = buffer + offset;
    switch (bits) {
    case 8: return int(p[0]) - 128;
    case 16: return int(int16_t(uint16_t(p[0] | (p[1] << 8))));
    case 24: {
        const uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        return int(v ^ 0x800000u) - 0x800000; // sign extension from bit 23
    }
    case 32:
        return int(int32_t(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24)));
    default: return 0;
    }
}

int SampleBytes(int bits)
{
    if (bits <= 8) return 1;
    if (bits <= 16) return 2;
    if (bits <= 24) return 3;
    return 4;
}

int SampleOffset(int offset, int bits, int channels, int channel)
{
    if (channel < 0 || channel >= channels) return 0;
    const int b = SampleBytes(bits);
    const int frame = b * channels;
    return offset - offset % frame + b * channel;
}

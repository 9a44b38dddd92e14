#include "selftest/test_signals.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

int64_t Frames(double seconds, int rate) { return int64_t(std::llround(seconds * rate)); }

// Feedback taps of a maximal linear shift register, by order (bit numbers from 1).
const int kMlsTaps[][2] = {{4, 3},  {5, 3},   {6, 5},   {7, 6},   {9, 5},  {10, 7},
                           {11, 9}, {15, 14}, {17, 14}, {18, 11}, {20, 17}};

uint32_t MlsFeedback(int order, uint32_t state)
{
    // Orders whose register needs four taps (8, 12, 13, 14, 16, 19).
    switch (order) {
    case 8: return ((state >> 7) ^ (state >> 5) ^ (state >> 4) ^ (state >> 3)) & 1;
    case 12: return ((state >> 11) ^ (state >> 5) ^ (state >> 3) ^ state) & 1;
    case 13: return ((state >> 12) ^ (state >> 3) ^ (state >> 2) ^ state) & 1;
    case 14: return ((state >> 13) ^ (state >> 4) ^ (state >> 2) ^ state) & 1;
    case 16: return ((state >> 15) ^ (state >> 14) ^ (state >> 12) ^ (state >> 3)) & 1;
    case 19: return ((state >> 18) ^ (state >> 5) ^ (state >> 1) ^ state) & 1;
    default: break;
    }
    for (const auto& t : kMlsTaps)
        if (t[0] == order) return ((state >> (t[0] - 1)) ^ (state >> (t[1] - 1))) & 1;
    return 0;
}

} // namespace

std::vector<double> MaximumLengthSequence(int order)
{
    order = std::clamp(order, 4, 20);
    const uint32_t mask = (1u << order) - 1;
    std::vector<double> seq((size_t(1) << order) - 1);
    uint32_t state = mask;
    for (double& v : seq) {
        v = (state & 1) ? 1.0 : -1.0;
        state = ((state << 1) | MlsFeedback(order, state)) & mask;
    }
    return seq;
}

double PilotFrequency(int tone, double rate) { return kPilotRatios[tone] * rate; }

double PilotValue(double n, double rate)
{
    double v = 0;
    for (int k = 0; k < kPilotTones; ++k) v += kPilotAmplitude * std::sin(2 * kPi * kPilotRatios[k] * n + 0.7 * k);
    (void)rate;
    return v;
}

double DbToAmplitude(double db) { return std::pow(10.0, db / 20.0); }

double FullScaleSteps(int bits) { return bits <= 8 ? 128.0 : bits <= 16 ? 32768.0 : 8388608.0; }

Programme BuildProgramme(int rate, int channels, int bits, const ProgrammeTimes& times)
{
    Programme p;
    p.rate = rate;
    p.channels = channels;
    p.bits = bits;
    p.sequence = MaximumLengthSequence(times.mlsOrder);
    p.mlsPeriod = int64_t(p.sequence.size());

    int64_t at = Frames(times.leadSeconds, rate);
    auto place = [&](Segment& s, int64_t length) {
        s.start = at;
        s.length = length;
        at += length;
    };
    place(p.mls, 2 * p.mlsPeriod);
    at += Frames(0.25, rate); // the impulse response's tail dies away
    place(p.sine, Frames(times.sineSeconds, rate));
    place(p.silence, Frames(times.silenceSeconds, rate));
    place(p.dither, Frames(times.ditherSeconds, rate));
    place(p.pilot, Frames(times.pilotSeconds, rate));
    p.frames = at + Frames(times.tailSeconds, rate);
    p.mono.assign(size_t(p.frames), 0.0);

    for (int64_t i = 0; i < p.mls.length; ++i)
        p.mono[size_t(p.mls.start + i)] = kMlsAmplitude * p.sequence[size_t(i % p.mlsPeriod)];
    const double sineAmplitude = DbToAmplitude(kSineLevelDbfs);
    for (int64_t i = 0; i < p.sine.length; ++i)
        p.mono[size_t(p.sine.start + i)] = sineAmplitude * std::sin(2 * kPi * kSineFrequency * double(i) / rate);
    // Triangular dither of one step of the format, so that a path that
    // carries every bit shows every low bit changing.
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> uniform(-0.5, 0.5);
    const double step = 1.0 / FullScaleSteps(bits);
    const double ditherAmplitude = DbToAmplitude(kDitherSineLevelDbfs);
    for (int64_t i = 0; i < p.dither.length; ++i)
        p.mono[size_t(p.dither.start + i)] =
            ditherAmplitude * std::sin(2 * kPi * kDitherSineFrequency * double(i) / rate) +
            (uniform(random) + uniform(random)) * step;
    for (int64_t i = 0; i < p.pilot.length; ++i) p.mono[size_t(p.pilot.start + i)] = PilotValue(double(i), rate);
    return p;
}

void EncodeFrames(const std::vector<double>& mono, int channels, int bits, uint8_t* out)
{
    const double scale = FullScaleSteps(bits);
    const int bytes = bits / 8;
    for (double value : mono) {
        const int32_t v = int32_t(std::clamp(std::lround(value * scale), long(-scale), long(scale - 1)));
        for (int c = 0; c < channels; ++c) {
            if (bytes == 1) {
                *out++ = uint8_t(v + 128);
            } else {
                for (int b = 0; b < bytes; ++b) *out++ = uint8_t(uint32_t(v) >> (8 * b));
            }
        }
    }
}

std::vector<int32_t> DecodeChannelSteps(const uint8_t* data, size_t bytes, int channels, int bits, int channel)
{
    const int width = bits / 8;
    const size_t frame = size_t(width * channels);
    std::vector<int32_t> out(frame ? bytes / frame : 0);
    for (size_t i = 0; i < out.size(); ++i) {
        const uint8_t* s = data + i * frame + size_t(channel * width);
        if (width == 1) {
            out[i] = int32_t(s[0]) - 128;
        } else {
            uint32_t u = 0;
            for (int b = 0; b < width; ++b) u |= uint32_t(s[b]) << (8 * b);
            const uint32_t sign = 1u << (8 * width - 1);
            out[i] = int32_t((u ^ sign)) - int32_t(sign);
        }
    }
    return out;
}

std::vector<double> DecodeChannel(const uint8_t* data, size_t bytes, int channels, int bits, int channel)
{
    const std::vector<int32_t> steps = DecodeChannelSteps(data, bytes, channels, bits, channel);
    const double scale = FullScaleSteps(bits);
    std::vector<double> out(steps.size());
    for (size_t i = 0; i < steps.size(); ++i) out[i] = steps[i] / scale;
    return out;
}

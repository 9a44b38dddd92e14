#include "tones/tone_synth.h"

#include <cmath>
#include <ctime>
#include <limits>

#include "state/app_state.h"

int32_t g_nToneRepeatCount = 0;

namespace {

uint32_t CalendarSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

ToneSeedFn g_pfnToneSeed = &CalendarSeconds;

// The frame loops. Each shape gets its own loop so the per-frame work stays
// free of shape dispatch; every value goes through PutToneSample.

void PutSine(int64_t frames, int32_t frequency, int32_t rate, ToneLevel level, int32_t& position)
{
    const double step = std::asin(1.0) * 2 * 2 * frequency; // 4 asin(1) = 2 pi
    for (int64_t i = 0; i < frames; ++i) {
        const float x = static_cast<float>(std::sin(static_cast<double>(i) * step / rate));
        const float scaled = x * level.fScale;
        PutToneSample(scaled + level.fOffset, position);
    }
}

void PutSquare(int64_t frames, int32_t frequency, int32_t rate, ToneLevel level, int32_t& position)
{
    const float high = level.fOffset + level.fScale;
    const float low = level.fOffset - level.fScale;
    for (int64_t i = 0; i < frames; ++i) PutToneSample(TonePhase(i, frequency, rate) < 0.5f ? high : low, position);
}

// "Saw" is a symmetric triangle: up from the offset to the peak, down through
// the offset to the trough, and back up.
void PutSaw(int64_t frames, int32_t frequency, int32_t rate, ToneLevel level, int32_t& position)
{
    const float s = level.fScale;
    const float o = level.fOffset;
    for (int64_t i = 0; i < frames; ++i) {
        const float p = TonePhase(i, frequency, rate);
        float v;
        if (p <= 0.25f)
            v = o + 4.0f * p * s;
        else if (p <= 0.5f)
            v = o + s - 4.0f * (p - 0.25f) * s;
        else if (p <= 0.75f)
            v = o - 4.0f * (p - 0.5f) * s;
        else
            v = o - s + 4.0f * (p - 0.75f) * s;
        PutToneSample(v, position);
    }
}

// One sample per period at the trough, the first past the half period; all
// others at the offset. A phase of exactly one half belongs to neither half:
// that frame repeats the previous frame's value and leaves the flag alone.
void PutSpike(int64_t frames, int32_t frequency, int32_t rate, ToneLevel level, int32_t& position)
{
    bool spiked = false;
    float previous = level.fOffset;
    for (int64_t i = 0; i < frames; ++i) {
        const float p = TonePhase(i, frequency, rate);
        float v = previous;
        if (p < 0.5f) {
            v = level.fOffset;
            spiked = false;
        } else if (p > 0.5f) {
            v = spiked ? level.fOffset : level.fOffset - level.fScale;
            spiked = true;
        }
        PutToneSample(v, position);
        previous = v;
    }
}

void PutWhiteNoise(int64_t frames, ToneLevel level, int32_t& position)
{
    CToneRandom random(g_pfnToneSeed());
    for (int64_t i = 0; i < frames; ++i) {
        const float scaled = WhiteNoiseValue(random.Next()) * level.fScale;
        PutToneSample(scaled + level.fOffset, position);
    }
}

void PutPinkNoise(int64_t frames, ToneLevel level, int32_t& position)
{
    CToneRandom random(g_pfnToneSeed());
    auto draw = [&random] { return PinkNoiseDraw(random.Next()); };
    CPinkNoise pink(draw);
    for (int64_t i = 0; i < frames; ++i) {
        const float scaled = pink.Next(draw) * level.fScale;
        PutToneSample(scaled + level.fOffset, position);
    }
}

// Truncation toward zero, kept inside int32 so that an out-of-range value
// cannot make the conversion undefined.
int32_t TruncateSample(float value)
{
    if (value >= 2147483647.0f) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

} // namespace

void SetToneSeedSource(ToneSeedFn fn) { g_pfnToneSeed = fn ? fn : &CalendarSeconds; }

int64_t ToneLoopFrames(int32_t frequency, int32_t sampleRate, int32_t bytesPerSample, int32_t channels,
                       int32_t capacityBytes)
{
    if (frequency < 1 || sampleRate < 1) return 0;
    const int64_t f = frequency;
    const int64_t rate = sampleRate;
    int64_t n;
    const int64_t half = f / 2;
    if (half == 0) {
        n = rate * f;
    } else {
        int64_t d = half;
        while (d > 1 && (f % d != 0 || rate % d != 0)) --d;
        n = (rate / d) * (f / d);
    }
    // Multiplying keeps whole periods; the three steps build on each other.
    if (n < 1000) n *= 20;
    if (n < 5000) n *= 10;
    if (n < 10000) n *= 5;

    // n x frame bytes > capacity, asked without the product (which could
    // overflow for absurd arguments).
    const int64_t frameBytes = static_cast<int64_t>(bytesPerSample) * channels;
    if (frameBytes > 0 && n > capacityBytes / frameBytes) n = capacityBytes / bytesPerSample / channels;
    return n < 0 ? 0 : n;
}

int32_t ToneRepeatCount(int32_t seconds, int64_t frames, int32_t sampleRate)
{
    if (frames <= 0 || sampleRate <= 0) return 1;
    const double loops = seconds / (static_cast<double>(frames) / sampleRate);
    // Saturate instead of overflowing; a count this large is refused when saved.
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    if (loops >= static_cast<double>(kMax)) return kMax;
    if (loops <= static_cast<double>(kMin)) return kMin + 1;
    return static_cast<int32_t>(loops) + 1;
}

ToneLevel ToneLevelFor(int32_t bitsPerSample, int32_t amplitude)
{
    if (bitsPerSample == 8) return {static_cast<float>(amplitude * 127.0 / 100.0), 128.0f};
    if (bitsPerSample == 16) return {static_cast<float>(amplitude * 32767.0 / 100.0), 0.0f};
    return {static_cast<float>(amplitude * 8388607.0 / 100.0), 0.0f};
}

float TonePhase(int64_t frame, int32_t frequency, int32_t sampleRate)
{
    const float f = static_cast<float>(frequency);
    const float t = static_cast<float>(static_cast<double>(frame) * f / sampleRate);
    return t - std::floor(t);
}

float WhiteNoiseValue(int32_t draw) { return static_cast<float>(draw / 16383.5 - 1.0); }

float PinkNoiseDraw(int32_t draw) { return static_cast<float>(WhiteNoiseValue(draw) / 6.0); }

void PutToneSample(float value, int32_t& position)
{
    const int32_t bytes = g_nBitsPerSample / 8;
    const int32_t frameBytes = bytes * g_nChannels;
    if (g_pPlaybackSource && position >= 0 && frameBytes > 0 &&
        static_cast<int64_t>(position) + frameBytes <= g_nPlaybackSourceSize) {
        // Two's complement: the low bytes of the truncated value, low first.
        const uint32_t bits = static_cast<uint32_t>(TruncateSample(value));
        uint8_t* out = g_pPlaybackSource + position;
        for (int32_t channel = 0; channel < g_nChannels; ++channel)
            for (int32_t b = 0; b < bytes; ++b) *out++ = static_cast<uint8_t>(bits >> (8 * b));
    }
    position += frameBytes;
}

ToneResult GenerateTone(int32_t shape, int32_t frequency, int32_t amplitude, int32_t seconds)
{
    const int32_t rate = g_nSampleRate;
    const int32_t bytes = g_nBitsPerSample / 8;
    const int32_t channels = g_nChannels;
    const int64_t frames = ToneLoopFrames(frequency, rate, bytes, channels, g_nOutputBufferSize);

    // The cap keeps frames x frame bytes within the int32 store capacity.
    const int32_t sourceBytes = static_cast<int32_t>(frames * bytes * channels);
    g_nOutputPos = 0;
    if (!AllocatePlaybackSource(sourceBytes)) {
        g_nToneRepeatCount = 0;
        return ToneResult::LowMemory;
    }
    g_nToneRepeatCount = ToneRepeatCount(seconds, frames, rate);

    const ToneLevel level = ToneLevelFor(g_nBitsPerSample, amplitude);
    int32_t position = 0;
    switch (static_cast<ToneShape>(shape)) {
    case ToneShape::Sine: PutSine(frames, frequency, rate, level, position); break;
    case ToneShape::Square: PutSquare(frames, frequency, rate, level, position); break;
    case ToneShape::Saw: PutSaw(frames, frequency, rate, level, position); break;
    case ToneShape::Spike: PutSpike(frames, frequency, rate, level, position); break;
    case ToneShape::WhiteNoise: PutWhiteNoise(frames, level, position); break;
    case ToneShape::PinkNoise: PutPinkNoise(frames, level, position); break;
    default: // not a shape: silence rather than whatever the allocation held
        for (int64_t i = 0; i < frames; ++i) PutToneSample(level.fOffset, position);
        break;
    }
    return ToneResult::Ok;
}

ToneResult GeneratePresetTone(int32_t command)
{
    for (const TonePreset& preset : kTonePresets)
        if (preset.nCommand == command)
            return GenerateTone(static_cast<int32_t>(preset.shape), preset.nFrequency, preset.nAmplitude,
                                preset.nSeconds);
    return ToneResult::NotAPreset;
}

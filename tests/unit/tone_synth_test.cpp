// Tone synthesis: loop lengths, repeat counts, sample values of every shape at
// 8, 16 and 24 bits, the noise generators, the presets and a failed allocation.
#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <climits>
#include <ctime>
#include <vector>

#include "app/app_state.h"
#include "tones/tone_synth.h"

namespace {

using V = std::vector<int32_t>;
using S = ToneShape;

class ToneSynthTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = {g_nSampleRate, g_nChannels, g_nBitsPerSample, g_nOutputBufferSize};
        g_nOutputBufferSize = 2097152; // the default "2MB" store
        SetToneSeedSource([]() -> uint32_t { return 1; });
    }
    void TearDown() override
    {
        FreePlaybackSource();
        SetToneAllocator(nullptr);
        SetToneSeedSource(nullptr);
        Format(m_saved[0], m_saved[1], m_saved[2]);
        g_nOutputBufferSize = m_saved[3];
    }
    static void Format(int32_t rate, int32_t channels, int32_t bits)
    {
        g_nSampleRate = rate;
        g_nChannels = channels;
        g_nBitsPerSample = bits;
    }
    // One sample as stored: 8 bits unsigned, 16 and 24 bits signed little-endian.
    static int32_t Sample(int64_t frame, int32_t channel = 0)
    {
        const int32_t bytes = g_nBitsPerSample / 8;
        const uint8_t* p = g_pPlaybackSource + (frame * g_nChannels + channel) * bytes;
        if (bytes == 1) return p[0];
        if (bytes == 2) return static_cast<int16_t>(p[0] | p[1] << 8);
        const int32_t v = p[0] | p[1] << 8 | p[2] << 16;
        return v & 0x800000 ? v - 0x1000000 : v;
    }
    static V Samples(size_t count)
    {
        V out;
        for (size_t i = 0; i < count; ++i) out.push_back(Sample(static_cast<int64_t>(i)));
        return out;
    }
    // Generates a tone and returns its first count samples of channel 0.
    static V Tone(S shape, int32_t frequency, int32_t amplitude, size_t count, int32_t seconds = 0)
    {
        if (GenerateTone(static_cast<int32_t>(shape), frequency, amplitude, seconds) != ToneResult::Ok) return {};
        return Samples(count);
    }
    static std::vector<uint8_t> Bytes() { return {g_pPlaybackSource, g_pPlaybackSource + g_nPlaybackSourceSize}; }

    std::array<int32_t, 4> m_saved{};
};

TEST(ToneLoopLength, WholePeriodsThenMultipliersThenCap)
{
    struct Case {
        int32_t rate, frequency, bytes, channels, capacity;
        int64_t frames;
    } const cases[] = {
        {44100, 1000, 2, 1, 2097152, 44100},       // d = 100: 4410, x10
        {48000, 1000, 2, 1, 2097152, 38400},       // d = 500, not 1000: 192, x20, x10
        {44100, 3000, 2, 1, 2097152, 14700},       // d = 300: 1470, x10
        {44100, 1, 2, 1, 2097152, 44100},          // one period
        {44100, 22050, 2, 1, 2097152, 8000},       // d = 11025: 8, x20, x10, x5
        {44100, 997, 1, 1, INT32_MAX, 43967700},   // d = 1
        {44100, 997, 2, 1, 2097152, 1048576},      // capped to the store
        {44100, 997, 3, 2, 2097152, 349525},       // whole frames of 6 bytes
        {128000, 59999, 1, 1, INT32_MAX, INT32_MAX}, // 7679872000 before the cap
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToneLoopFrames(c.frequency, c.rate, c.bytes, c.channels, c.capacity), c.frames)
            << c.rate << " Hz, " << c.frequency << " Hz";
}

TEST_F(ToneSynthTest, RepeatCountCoversTheRequestedSeconds)
{
    EXPECT_EQ(ToneRepeatCount(0, 44100, 44100), 1);
    EXPECT_EQ(ToneRepeatCount(1, 44100, 44100), 2);
    EXPECT_EQ(ToneRepeatCount(10, 14700, 44100), 31); // 30 loops are exactly 10 s
    EXPECT_EQ(ToneRepeatCount(INT32_MAX, 10000, 128000), INT32_MAX);

    Format(44100, 1, 16);
    g_nOutputPos = 1234;
    Tone(S::Sine, 1000, 50, 0, 1);
    Tone(S::Sine, 3000, 50, 0, 1); // replaces the first buffer
    EXPECT_EQ(g_nPlaybackSourceSize, 29400);
    EXPECT_EQ(g_nToneRepeatCount, 4);
    EXPECT_EQ(g_nOutputPos, 0);
}

TEST_F(ToneSynthTest, SampleValuesOfEachShapeAndResolution)
{
    struct Case {
        int32_t rate, bits;
        S shape;
        int32_t frequency, amplitude;
        V values;
    } const cases[] = {
        {44100, 16, S::Sine, 1000, 50, {0, 2326, 4605, 6791, 8839}},
        {44100, 8, S::Sine, 1000, 50, {128, 137, 145, 154, 162}},
        // Frames 5, 9, 10, 11 and 16 come out one lower if the sine or its
        // product stay in double precision.
        {44100, 24, S::Sine, 1000, 50, {0, 595567, 1179065, 1738669, 2263039, 2741549, 3164500, 3523323, 3810746,
                                        4020944, 4149657, 4194277, 4153899, 4029343, 3823132, 3539445, 3184030}},
        {8000, 8, S::Square, 1000, 100, {255, 255, 255, 255, 1, 1, 1, 1, 255}},
        {8000, 8, S::Square, 1000, 50, {191, 191, 191, 191, 64, 64, 64, 64}}, // truncated, not rounded
        {8000, 16, S::Square, 1000, 100, {32767, 32767, 32767, 32767, -32767, -32767, -32767, -32767}},
        {8000, 24, S::Square, 1000, 100, {8388607, 8388607, 8388607, 8388607, -8388607, -8388607}},
        {8000, 8, S::Saw, 1000, 100, {128, 191, 255, 191, 128, 64, 1, 64, 128}},
        {8000, 16, S::Saw, 1000, 100, {0, 16383, 32767, 16383, 0, -16383, -32767, -16383}},
        // Phase exactly .5 (frame 4) after a low half: the offset again, and
        // the flag still clear, so frame 5 spikes.
        {8000, 8, S::Spike, 1000, 100, {128, 128, 128, 128, 128, 1, 128, 128, 128}},
        // Phases 0, .625, .25, .875, .5: frame 4 repeats the spike before it.
        {8000, 8, S::Spike, 5000, 100, {128, 1, 128, 1, 1, 128, 1, 128}},
    };
    for (const Case& c : cases) {
        Format(c.rate, 1, c.bits);
        EXPECT_EQ(Tone(c.shape, c.frequency, c.amplitude, c.values.size()), c.values)
            << "shape " << static_cast<int>(c.shape) << ", " << c.frequency << " Hz, " << c.bits << " bits";
    }
}

TEST_F(ToneSynthTest, SpikeOncePerPeriodFirstPastTheHalfAndCoarsePhase)
{
    Format(44100, 1, 8);
    Tone(S::Spike, 1000, 100, 0);
    V spikes;
    for (int64_t i = 0; i < 44100; ++i)
        if (Sample(i) != 128) spikes.push_back(Sample(i) == 1 ? static_cast<int32_t>(i) : -1);
    ASSERT_EQ(spikes.size(), 1000u);
    EXPECT_EQ(V(spikes.begin(), spikes.begin() + 5), (V{23, 67, 111, 155, 199}));
    EXPECT_EQ(std::count(spikes.begin(), spikes.end(), -1), 0); // a spike is always the trough

    // 997 Hz fills the store; past frame 724712 the phase count is above 16384,
    // where a single-precision phase moves in steps of 1/512.
    Format(44100, 1, 16);
    Tone(S::Saw, 997, 100, 0);
    EXPECT_EQ((V{Sample(1000000), Sample(1000001), Sample(1048575)}), (V{-27391, -30463, -15871}));
}

TEST_F(ToneSynthTest, SilenceAtAmplitudeZeroAndTheSameSampleInBothChannels)
{
    for (int32_t bits : {8, 16, 24}) {
        Format(8000, 2, bits);
        for (int32_t shape = 0; shape <= 5; ++shape) {
            Tone(static_cast<S>(shape), 1000, 0, 0);
            const std::vector<uint8_t> bytes = Bytes();
            EXPECT_EQ(std::count(bytes.begin(), bytes.end(), bits == 8 ? 128 : 0), g_nPlaybackSourceSize)
                << "shape " << shape << ", " << bits << " bits";
        }
        Format(44100, 2, bits);
        Tone(S::Sine, 1000, 50, 0);
        EXPECT_EQ(Sample(1, 1), (V{137, 2326, 595567}[bits / 8 - 1]));
        int32_t differing = 0;
        for (int64_t i = 0; i < 44100; ++i) differing += Sample(i, 0) != Sample(i, 1);
        EXPECT_EQ(differing, 0) << bits << " bits";
    }
}

TEST(ToneNoise, ClassicLinearCongruentialDrawsAndPinkRows)
{
    CToneRandom random(1);
    V draws;
    for (int i = 0; i < 6; ++i) draws.push_back(random.Next());
    EXPECT_EQ(draws, (V{41, 18467, 6334, 26500, 19169, 15724}));
    EXPECT_EQ(WhiteNoiseValue(32767), 1.0f);

    // Pink rows: draws are exact binary fractions, so sums are exact in any order.
    int count = 0;
    float recent[6] = {};
    auto draw = [&] {
        std::copy(recent + 1, recent + 6, recent);
        return recent[5] = static_cast<float>(++count) / 1024.0f;
    };
    CPinkNoise pink(draw);
    const V perFrame = {2, 3, 2, 4, 2, 3, 2, 5, 2, 3, 2, 4, 2, 3, 2, 6, 2,
                        3, 2, 4, 2, 3, 2, 5, 2, 3, 2, 4, 2, 3, 2, 6, 2};
    for (int frame = 0; frame < 33; ++frame) {
        const int before = count;
        const float value = pink.Next(draw);
        EXPECT_EQ(count - before, perFrame[frame]) << "frame " << frame;
        if (frame == 31) { // counter 31 -> 0: a fresh value and all five rows
            EXPECT_EQ(value, recent[0] + recent[1] + recent[2] + recent[3] + recent[4] + recent[5]);
        }
    }
}

TEST_F(ToneSynthTest, NoiseFollowsTheSeed)
{
    Format(44100, 1, 16);
    EXPECT_EQ(Tone(S::WhiteNoise, 1000, 100, 3), (V{-32685, 4167, -20099})); // draws 41, 18467, 6334
    const std::vector<uint8_t> white = Bytes();
    EXPECT_EQ(Tone(S::PinkNoise, 1000, 100, 3), (V{-209, 11495, 4005}));
    const std::vector<uint8_t> pink = Bytes();
    Tone(S::PinkNoise, 1000, 100, 0);
    EXPECT_EQ(Bytes(), pink);
    SetToneSeedSource([]() -> uint32_t { return 2; });
    Tone(S::WhiteNoise, 1000, 100, 0);
    EXPECT_NE(Bytes(), white);
    Format(44100, 1, 24);
    SetToneSeedSource([]() -> uint32_t { return 1; });
    EXPECT_EQ(Tone(S::WhiteNoise, 1000, 100, 3), (V{-8367614, 1066784, -5145500}));

    // By default the seed is the calendar time in seconds.
    SetToneSeedSource(nullptr);
    Format(44100, 1, 16);
    const auto before = static_cast<uint32_t>(std::time(nullptr));
    const V got = Tone(S::WhiteNoise, 1000, 100, 2);
    bool matched = false;
    for (uint32_t seed = before; seed <= static_cast<uint32_t>(std::time(nullptr)); ++seed) {
        CToneRandom r(seed);
        const float a = WhiteNoiseValue(r.Next()) * 32767.0f, b = WhiteNoiseValue(r.Next()) * 32767.0f;
        matched = matched || got == V{static_cast<int32_t>(a), static_cast<int32_t>(b)};
    }
    EXPECT_TRUE(matched);
}

TEST_F(ToneSynthTest, PresetsAndAFailedAllocation)
{
    Format(8000, 1, 8);
    const struct {
        int32_t command;
        V values;
    } presets[] = {{40009, {128, 172, 191, 172, 128}},
                   {40011, {128, 159, 191, 159, 128, 96, 64, 96}},
                   {40019, {191, 191, 191, 191, 64, 64, 64, 64}},
                   {40020, {64, 136, 89, 167}}};
    for (const auto& p : presets) {
        ASSERT_EQ(GeneratePresetTone(p.command), ToneResult::Ok);
        EXPECT_EQ(Samples(p.values.size()), p.values) << p.command;
        EXPECT_EQ(g_nToneRepeatCount, 1);
    }
    const uint8_t* kept = g_pPlaybackSource;
    EXPECT_EQ(GeneratePresetTone(40010), ToneResult::NotAPreset);
    EXPECT_EQ(g_pPlaybackSource, kept);

    g_nOutputPos = 99;
    SetToneAllocator([](size_t) -> uint8_t* { return nullptr; });
    EXPECT_EQ(GenerateTone(0, 1000, 50, 1), ToneResult::LowMemory);
    EXPECT_EQ(g_pPlaybackSource, nullptr);
    EXPECT_EQ(g_nPlaybackSourceSize, 0);
    EXPECT_EQ(g_nToneRepeatCount, 0);
    EXPECT_EQ(g_nOutputPos, 0);
    SetToneAllocator(nullptr);
    g_nOutputBufferSize = 0; // an absent playback store has room for no frame
    EXPECT_EQ(GenerateTone(0, 1000, 50, 1), ToneResult::LowMemory);
    EXPECT_EQ(g_pPlaybackSource, nullptr);
}

} // namespace

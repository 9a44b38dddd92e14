// Tone synthesis: loop lengths, sample values, noise, presets and a failed allocation.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <ctime>
#include <tuple>
#include <vector>

#include "display/samples.h"
#include "state/app_state.h"
#include "tones/tone_synth.h"

namespace {

using V = std::vector<int32_t>;
using S = ToneShape;

class ToneSynthTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_nOutputBufferSize = 2097152, SetToneSeedSource([]() -> uint32_t { return 1; });
    }
    void TearDown() override
    {
        FreePlaybackSource(), SetPlaybackSourceAllocator(nullptr), SetToneSeedSource(nullptr);
        Format(m_saved[0], m_saved[1], m_saved[2]), g_nOutputBufferSize = m_saved[3];
    }
    static void Format(int32_t r, int32_t c, int32_t b) { g_nSampleRate = r, g_nChannels = c, g_nBitsPerSample = b; }
    // One sample as stored: 8 bits unsigned, 16 and 24 bits signed.
    static int32_t Sample(int64_t frame, int32_t channel = 0)
    {
        const int64_t at = (frame * g_nChannels + channel) * g_nBitsPerSample / 8;
        return ReadSample(int(at), g_pPlaybackSource, g_nBitsPerSample) + (g_nBitsPerSample == 8 ? 128 : 0);
    }
    // The first count samples of channel 0, none when the tone was not made.
    static V Samples(size_t count, ToneResult result = ToneResult::Ok)
    {
        V out;
        for (size_t i = 0; result == ToneResult::Ok && i < count; ++i) out.push_back(Sample(int64_t(i)));
        return out;
    }
    static V Tone(S shape, int32_t frequency, int32_t amplitude, size_t count = 0)
    {
        return Samples(count, GenerateTone(int32_t(shape), frequency, amplitude, 0));
    }
    static std::vector<uint8_t> Bytes() { return {g_pPlaybackSource, g_pPlaybackSource + g_nPlaybackSourceSize}; }

    std::array<int32_t, 4> m_saved{g_nSampleRate, g_nChannels, g_nBitsPerSample, g_nOutputBufferSize};
};

TEST(ToneLoopLength, WholePeriodsThenMultipliersThenCap)
{
    // Rate, frequency, bytes a sample, channels, capacity in bytes: frames.
    const std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int64_t> cases[] = {
        {44100, 1000, 2, 1, 2097152, 44100},         {48000, 1000, 2, 1, 2097152, 38400}, // d = 500, not 1000
        {44100, 3000, 2, 1, 2097152, 14700},         {44100, 1, 2, 1, 2097152, 44100},
        {44100, 22050, 2, 1, 2097152, 8000},         {44100, 997, 1, 1, INT32_MAX, 43967700},
        {44100, 997, 2, 1, 2097152, 1048576},        {44100, 997, 3, 2, 2097152, 349525}, // capped, whole frames
        {128000, 59999, 1, 1, INT32_MAX, INT32_MAX},                                      // 7679872000 before the cap
    };
    for (const auto& [rate, frequency, bytes, channels, capacity, frames] : cases)
        EXPECT_EQ(ToneLoopFrames(frequency, rate, bytes, channels, capacity), frames) << rate << " Hz, " << frequency;
    EXPECT_EQ(ToneRepeatCount(0, 44100, 44100), 1);
    EXPECT_EQ(ToneRepeatCount(10, 14700, 44100), 31); // 30 loops are exactly 10 s
    EXPECT_EQ(ToneRepeatCount(INT32_MAX, 10000, 128000), INT32_MAX);
}

TEST_F(ToneSynthTest, SampleValuesOfEachShapeAndResolution)
{
    // Rate, bits, shape, frequency, amplitude: the first samples.
    const std::tuple<int32_t, int32_t, S, int32_t, int32_t, V> cases[] = {
        {44100, 16, S::Sine, 1000, 50, {0, 2326, 4605, 6791, 8839}},
        {44100, 8, S::Sine, 1000, 50, {128, 137, 145, 154, 162}},
        // Frame 5 is one lower if the sine or its product stay in double precision.
        {44100, 24, S::Sine, 1000, 50, {0, 595567, 1179065, 1738669, 2263039, 2741549}},
        {8000, 8, S::Square, 1000, 50, {191, 191, 191, 191, 64, 64, 64, 64, 191}}, // truncated, not rounded
        {8000, 16, S::Square, 1000, 100, {32767, 32767, 32767, 32767, -32767, -32767, -32767, -32767}},
        {8000, 24, S::Square, 1000, 100, {8388607, 8388607, 8388607, 8388607, -8388607, -8388607}},
        {8000, 8, S::Saw, 1000, 100, {128, 191, 255, 191, 128, 64, 1, 64, 128}},
        {8000, 16, S::Saw, 1000, 100, {0, 16383, 32767, 16383, 0, -16383, -32767, -16383}},
        // Phase exactly .5 repeats the frame before and leaves the flag clear.
        {8000, 8, S::Spike, 1000, 100, {128, 128, 128, 128, 128, 1, 128, 128, 128}},
        {8000, 8, S::Spike, 5000, 100, {128, 1, 128, 1, 1, 128, 1, 128}}, // phases 0, .625, .25, .875, .5
    };
    for (const auto& [rate, bits, shape, frequency, amplitude, values] : cases) {
        Format(rate, 1, bits);
        EXPECT_EQ(Tone(shape, frequency, amplitude, values.size()), values)
            << "shape " << int(shape) << ", " << frequency << " Hz, " << bits << " bits";
    }
    Format(44100, 1, 8); // one spike a period, at the trough, first past the half
    Tone(S::Spike, 1000, 100);
    const std::vector<uint8_t> spike = Bytes();
    EXPECT_EQ(
        (V{int32_t(std::count(spike.begin(), spike.end(), 1)), int32_t(std::count(spike.begin(), spike.end(), 128)),
           int32_t(std::find(spike.begin(), spike.end(), 1) - spike.begin())}),
        (V{1000, 44100 - 1000, 23}));

    for (int32_t bits : {8, 16, 24}) { // silence at amplitude 0; both channels alike
        Format(8000, 2, bits);
        for (int32_t shape = 0; shape <= 5; ++shape) {
            Tone(S(shape), 1000, 0);
            EXPECT_EQ(Bytes(), std::vector<uint8_t>(size_t(g_nPlaybackSourceSize), bits == 8 ? 128 : 0)) << shape;
        }
        Format(44100, 2, bits);
        Tone(S::Sine, 1000, 50);
        EXPECT_EQ(Sample(1, 1), (V{137, 2326, 595567}[size_t(bits / 8 - 1)]));
        int32_t differing = 0;
        for (int64_t i = 0; i < 44100; ++i) differing += Sample(i, 0) != Sample(i, 1);
        EXPECT_EQ(differing, 0) << bits << " bits";
    }
}

TEST_F(ToneSynthTest, NoiseRowsAndSeed)
{
    int count = 0; // draws are exact binary fractions, so sums are exact in any order
    float recent[6] = {};
    auto draw = [&] {
        std::copy(recent + 1, recent + 6, recent);
        return recent[5] = ++count / 1024.0f;
    };
    CPinkNoise rows(draw);
    const V draws = {2, 3, 2, 4, 2, 3, 2, 5, 2, 3, 2, 4, 2, 3, 2, 6, 2, 3, 2, 4, 2, 3, 2, 5, 2, 3, 2, 4, 2, 3, 2, 6, 2};
    for (int frame = 0; frame < 33; ++frame) {
        const int before = count;
        const float value = rows.Next(draw);
        EXPECT_EQ(count - before, draws[size_t(frame)]) << "frame " << frame;
        const float sum = recent[0] + recent[1] + recent[2] + recent[3] + recent[4] + recent[5];
        EXPECT_TRUE(frame != 31 || value == sum) << "the 32nd frame: a fresh value and all five rows";
    }

    Format(44100, 1, 16);
    EXPECT_EQ(Tone(S::WhiteNoise, 1000, 100, 3), (V{-32685, 4167, -20099})); // draws 41, 18467, 6334
    const std::vector<uint8_t> white = Bytes();
    EXPECT_EQ(Tone(S::PinkNoise, 1000, 100, 3), (V{-209, 11495, 4005}));
    const std::vector<uint8_t> pink = Bytes();
    Tone(S::PinkNoise, 1000, 100);
    EXPECT_EQ(Bytes(), pink);
    SetToneSeedSource([]() -> uint32_t { return 2; });
    Tone(S::WhiteNoise, 1000, 100);
    EXPECT_NE(Bytes(), white);

    SetToneSeedSource(nullptr); // by default the seed is the calendar time in seconds
    auto first = [](std::time_t t) { return V{int32_t(WhiteNoiseValue(CToneRandom(uint32_t(t)).Next()) * 32767)}; };
    const std::time_t before = std::time(nullptr);
    const V got = Tone(S::WhiteNoise, 1000, 100, 1);
    EXPECT_TRUE(got == first(before) || got == first(std::time(nullptr)));
}

TEST_F(ToneSynthTest, PresetsAndAFailedAllocation)
{
    Format(8000, 1, 8);
    const std::pair<int32_t, V> presets[] = {{IDM_SINE_1K, {128, 172, 191, 172, 128}},
                                             {IDM_SAW_1K, {128, 159, 191, 159, 128, 96, 64, 96}},
                                             {IDM_SQUARE_1K, {191, 191, 191, 191, 64, 64, 64, 64}},
                                             {IDM_WHITE_NOISE, {64, 136, 89, 167}}};
    for (const auto& [command, values] : presets)
        EXPECT_EQ(Samples(values.size(), GeneratePresetTone(command)), values) << command;
    const uint8_t* kept = g_pPlaybackSource;
    EXPECT_EQ(GeneratePresetTone(IDM_CLEAR), ToneResult::NotAPreset);
    EXPECT_EQ(g_pPlaybackSource, kept);

    g_nOutputPos = 99;
    SetPlaybackSourceAllocator([](size_t) -> uint8_t* { return nullptr; });
    EXPECT_EQ(GenerateTone(0, 1000, 50, 1), ToneResult::LowMemory);
    EXPECT_EQ(g_pPlaybackSource, nullptr);
    EXPECT_EQ((V{g_nPlaybackSourceSize, g_nToneRepeatCount, g_nOutputPos}), (V{0, 0, 0}));
    SetPlaybackSourceAllocator(nullptr);
    g_nOutputBufferSize = 0; // an absent playback store has room for no frame
    EXPECT_EQ(GenerateTone(0, 1000, 50, 1), ToneResult::LowMemory);
    EXPECT_EQ(g_pPlaybackSource, nullptr);
}

} // namespace

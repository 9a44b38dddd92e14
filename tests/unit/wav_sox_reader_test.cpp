// Our WAV files as an independent reader sees them: sox reads back the
// format, the length and every sample, and measures a saved sine tone.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "tones/tone_synth.h"
#include "tones/wav_writer.h"

namespace {

// What a command writes to standard output.
std::string Capture(const std::string& command)
{
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
        pclose(pipe);
    }
    return out;
}

// The number after "label:" in a report.
double Field(const std::string& report, const std::string& label)
{
    const size_t at = report.find(label + ":");
    return at == std::string::npos ? -1.0 : std::strtod(report.c_str() + at + label.size() + 1, nullptr);
}

class WavSoxReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("command -v sox >/dev/null && command -v soxi >/dev/null") != 0)
            GTEST_SKIP() << "sox is not installed";
        char pattern[] = "/tmp/mirravox-sox-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_path = m_dir + "/t.wav";
        m_saved = {g_nSampleRate, g_nChannels, g_nBitsPerSample, g_nOutputBufferSize};
        g_nOutputBufferSize = 2097152;
        SetToneSeedSource([]() -> uint32_t { return 7; });
    }
    void TearDown() override
    {
        if (m_dir.empty()) return;
        FreePlaybackSource();
        SetToneSeedSource(nullptr);
        g_nSampleRate = m_saved[0];
        g_nChannels = m_saved[1];
        g_nBitsPerSample = m_saved[2];
        g_nOutputBufferSize = m_saved[3];
        std::filesystem::remove_all(m_dir);
    }
    // Generates a tone in a format and saves it to m_path.
    void SaveTone(int32_t rate, int32_t channels, int32_t bits, ToneShape shape = ToneShape::Sine,
                  int32_t frequency = 1000, int32_t amplitude = 80, int32_t seconds = 0)
    {
        g_nSampleRate = rate;
        g_nChannels = channels;
        g_nBitsPerSample = bits;
        ASSERT_EQ(GenerateTone(static_cast<int32_t>(shape), frequency, amplitude, seconds), ToneResult::Ok);
        ASSERT_EQ(WriteWavFile(m_path.c_str(), true), WavResult::Ok);
    }

    std::string m_dir, m_path;
    std::array<int32_t, 4> m_saved{};
};

TEST_F(WavSoxReaderTest, ReadsBackFormatLengthAndSamples)
{
    struct Case {
        int32_t rate, channels, bits;
        ToneShape shape;
        int32_t seconds;
    } const cases[] = {
        {8000, 1, 8, ToneShape::Saw, 0},      {11025, 2, 8, ToneShape::WhiteNoise, 1},
        {44100, 2, 16, ToneShape::Sine, 1},   {22050, 1, 16, ToneShape::PinkNoise, 2},
        {96000, 1, 24, ToneShape::Square, 0}, {48000, 2, 24, ToneShape::Sine, 1},
        {128000, 2, 16, ToneShape::Spike, 0},
    };
    for (const Case& c : cases) {
        SaveTone(c.rate, c.channels, c.bits, c.shape, 1000, 80, c.seconds);
        const std::string what = std::to_string(c.rate) + " Hz, " + std::to_string(c.bits) + " bits";
        const int64_t frames = int64_t{g_nPlaybackSourceSize} / (c.bits / 8 * c.channels) * g_nToneRepeatCount;
        std::string info;
        for (const char* option : {"-r", "-c", "-b", "-s", "-e"}) info += Capture(std::string("soxi ") + option + " " + m_path);
        EXPECT_EQ(info, std::to_string(c.rate) + "\n" + std::to_string(c.channels) + "\n" + std::to_string(c.bits) +
                            "\n" + std::to_string(frames) + (c.bits == 8 ? "\nUnsigned" : "\nSigned") + " Integer PCM\n")
            << what;

        const std::string raw = c.bits == 8 ? "-e unsigned-integer -b 8" : "-e signed-integer -L -b " + std::to_string(c.bits);
        const std::string samples = Capture("sox " + m_path + " -t raw " + raw + " - 2>/dev/null");
        std::string expected;
        for (int32_t k = 0; k < g_nToneRepeatCount; ++k)
            expected.append(reinterpret_cast<const char*>(g_pPlaybackSource), g_nPlaybackSourceSize);
        EXPECT_TRUE(samples == expected) << what << ": " << samples.size() << " bytes read";
    }
}

TEST_F(WavSoxReaderTest, SavedSineHasItsFrequencyAndAmplitude)
{
    for (int32_t frequency : {440, 1000, 3000}) {
        SaveTone(44100, 1, 16, ToneShape::Sine, frequency, 50, 1);
        const std::string report = Capture("sox " + m_path + " -n stat 2>&1");
        EXPECT_NEAR(Field(report, "Rough   frequency"), frequency, frequency * 0.01) << report;
        EXPECT_NEAR(Field(report, "Maximum amplitude"), 0.5, 0.001) << report;
        EXPECT_NEAR(Field(report, "Minimum amplitude"), -0.5, 0.001) << report;
        EXPECT_GE(Field(report, "Length (seconds)"), 1.0) << report;
    }
}

} // namespace

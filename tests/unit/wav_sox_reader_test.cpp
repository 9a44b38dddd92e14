// Our WAV files as an independent reader sees them: sox reads back the
// format, the length and every sample, and measures a saved sine tone.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "state/app_state.h"
#include "tones/tone_synth.h"
#include "tones/wav_writer.h"

namespace {

using std::to_string;

std::string Capture(const std::string& command) // what a command writes to standard output
{
    std::string out;
    std::FILE* pipe = popen(command.c_str(), "r");
    for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) out += static_cast<char>(c);
    return pipe && pclose(pipe) == 0 ? out : "(" + command + " failed)";
}

class WavSoxReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("command -v sox >/dev/null && command -v soxi >/dev/null") != 0)
            GTEST_SKIP() << "sox is not installed";
        ASSERT_NE(mkdtemp(m_dir), nullptr);
        m_path = std::string(m_dir) + "/t.wav";
        g_nOutputBufferSize = 2097152;
    }
    void TearDown() override
    {
        FreePlaybackSource();
        Format(m_saved[0], m_saved[1], m_saved[2]), g_nOutputBufferSize = m_saved[3];
        std::filesystem::remove_all(m_dir);
    }
    static void Format(int32_t r, int32_t c, int32_t b) { g_nSampleRate = r, g_nChannels = c, g_nBitsPerSample = b; }

    char m_dir[32] = "/tmp/mirravox-sox-XXXXXX";
    std::string m_path;
    std::array<int32_t, 4> m_saved{g_nSampleRate, g_nChannels, g_nBitsPerSample, g_nOutputBufferSize};
};

TEST_F(WavSoxReaderTest, ReadsBackFormatLengthAndSamplesAndMeasuresASine)
{
    struct {
        int32_t rate, channels, bits;
        ToneShape shape;
        int32_t seconds;
    } const cases[] = {
        {8000, 1, 8, ToneShape::Saw, 0},      {11025, 2, 8, ToneShape::WhiteNoise, 1},
        {44100, 1, 16, ToneShape::Sine, 1},   {22050, 1, 16, ToneShape::PinkNoise, 2},
        {96000, 1, 24, ToneShape::Square, 0}, {48000, 2, 24, ToneShape::Sine, 1},
        {128000, 2, 16, ToneShape::Spike, 0},
    };
    for (const auto& c : cases) {
        Format(c.rate, c.channels, c.bits);
        ASSERT_EQ(GenerateTone(static_cast<int32_t>(c.shape), 1000, 80, c.seconds), ToneResult::Ok);
        ASSERT_EQ(WriteWavFile(m_path.c_str(), true), WavResult::Ok);
        std::string info, expected; // the length is that of the samples read back
        for (std::string option : {"-r", "-c", "-b", "-e"}) info += Capture("soxi " + option + " " + m_path);
        EXPECT_EQ(info, to_string(c.rate) + "\n" + to_string(c.channels) + "\n" + to_string(c.bits) +
                            (c.bits == 8 ? "\nUnsigned" : "\nSigned") + " Integer PCM\n");
        const std::string raw = c.bits > 8 ? "-e signed-integer -L -b " + to_string(c.bits) : "-e unsigned -b 8";
        for (int32_t k = 0; k < g_nToneRepeatCount; ++k)
            expected.append(reinterpret_cast<const char*>(g_pPlaybackSource), g_nPlaybackSourceSize);
        EXPECT_TRUE(Capture("sox " + m_path + " -t raw " + raw + " - 2>/dev/null") == expected) << info;
        if (c.shape != ToneShape::Sine || c.channels != 1) continue; // sox measures one channel
        const std::string report = Capture("sox " + m_path + " -n stat 2>&1");
        auto field = [&](const std::string& label) { // the number after "label:"
            const size_t at = report.find(label + ":");
            return at == std::string::npos ? -1.0 : std::strtod(report.c_str() + at + label.size() + 1, nullptr);
        };
        EXPECT_NEAR(field("Rough   frequency"), 1000, 10) << report;
        EXPECT_NEAR(field("Maximum amplitude"), 0.8, 0.001) << report;
        EXPECT_NEAR(field("Minimum amplitude"), -0.8, 0.001) << report;
    }
}

} // namespace

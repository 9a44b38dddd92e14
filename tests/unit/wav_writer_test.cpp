// The WAV writer: headers byte by byte, our files as an independent reader
// (sox) sees them, refusals that leave the disk alone, and a write that
// fails midway.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/replacing_file.h"
#include "state/app_state.h"
#include "tones/tone_synth.h"
#include "tones/wav_writer.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
template <size_t N> // the bytes of a string literal, embedded zeros included
Bytes B(const char (&text)[N])
{
    return Bytes(text, text + N - 1);
}

// A disk that takes g_nDiskRoom more bytes; opens are counted, and an open or the last flush can fail.
size_t g_nDiskRoom = 0;
int g_nOpenCalls = 0;
bool g_bOpenFails = false, g_bFlushFails = false;
std::FILE* Open(const char* p, const char* m) { return ++g_nOpenCalls, g_bOpenFails ? nullptr : std::fopen(p, m); }
size_t FillingWrite(const void* data, size_t size, size_t count, std::FILE* file)
{
    const size_t take = std::min(size * count, g_nDiskRoom);
    g_nDiskRoom -= take;
    return std::fwrite(data, 1, take, file) / size;
}
int Close(std::FILE* file) { return std::fclose(file) != 0 || g_bFlushFails ? EOF : 0; }
bool g_bReplaceFails = false;
bool Replace(const char* from, const char* to) { return !g_bReplaceFails && ReplaceFileWith(from, to); }
const FileOps kDisk{&Open, &FillingWrite, &Close, nullptr, &Replace};

class WavWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(mkdtemp(m_dir), nullptr);
        g_nOutputBufferSize = 2097152, g_nOpenCalls = 0, g_bOpenFails = g_bFlushFails = g_bReplaceFails = false;
    }
    void TearDown() override
    {
        SetFileOps(nullptr), FreePlaybackSource();
        g_pInputBuffer = nullptr, g_nInputBufferSize = g_nRecordedBytes = 0;
        Format(m_saved[0], m_saved[1], m_saved[2]), g_nOutputBufferSize = m_saved[3];
        fs::remove_all(m_dir);
    }
    static void Format(int32_t r, int32_t c, int32_t b) { g_nSampleRate = r, g_nChannels = c, g_nBitsPerSample = b; }
    static void SetTone(const Bytes& bytes, int32_t times)
    {
        ASSERT_NE(AllocatePlaybackSource(static_cast<int32_t>(bytes.size())), nullptr);
        std::copy(bytes.begin(), bytes.end(), g_pPlaybackSource), g_nToneRepeatCount = times;
    }
    fs::path At(const char* name) const { return fs::path(m_dir) / name; }
    WavResult Save(const char* name, bool tone = true) { return WriteWavFile(At(name).c_str(), tone); }
    Bytes Read(const char* name)
    {
        std::ifstream in(At(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    char m_dir[32] = "/tmp/mirravox-wav-XXXXXX";
    std::array<int32_t, 4> m_saved{g_nSampleRate, g_nChannels, g_nBitsPerSample, g_nOutputBufferSize};
};

TEST_F(WavWriterTest, HeadersByteByByteAndAnOddLengthOverALongerFile)
{
    Format(8000, 1, 8);
    uint8_t store[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    g_pInputBuffer = store, g_nInputBufferSize = sizeof store, g_nRecordedBytes = 10;
    ASSERT_EQ(Save("rec.wav", false), WavResult::Ok);
    EXPECT_EQ(Read("rec.wav"), B("RIFF\x2E\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0\x40\x1F\0\0\x01\0\x08\0"
                                 "data\x0A\0\0\0\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A"));

    Format(96000, 1, 24); // extensible: 288000 bytes per second, align 3, front centre
    SetTone({1, 2, 3, 4, 5, 6}, 1);
    ASSERT_EQ(Save("mono24.wav"), WavResult::Ok);
    EXPECT_EQ(Read("mono24.wav"), B("RIFF\x42\0\0\0WAVEfmt \x28\0\0\0\xFE\xFF\x01\0\0\x77\x01\0\0\x65\x04\0\x03\0\x18\0"
                                    "\x16\0\x18\0\x04\0\0\0\x01\0\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71"
                                    "data\x06\0\0\0\x01\x02\x03\x04\x05\x06"));
    const Bytes stereo = BuildWavHeader({48000, 2, 24}, 0); // align 6, left and right
    ASSERT_EQ(stereo.size(), 68u);
    EXPECT_EQ(Bytes(stereo.begin() + 28, stereo.begin() + 44), B("\0\x65\x04\0\x06\0\x18\0\x16\0\x18\0\x03\0\0\0"));

    // Other formats, their samples and the tone's repeats: sox reads them back (below).
    std::ofstream(At("tone.wav")) << std::string(200, 'x');
    Format(11025, 1, 8);
    SetTone({10, 20, 30, 40, 50, 60, 70}, 1); // over the longer file: replaced, no pad byte
    ASSERT_EQ(Save("tone.wav"), WavResult::Ok);
    const Bytes odd = Read("tone.wav");
    EXPECT_EQ(odd.size(), 51u);
    EXPECT_EQ((Bytes{odd[4], odd[40], odd.back()}), (Bytes{43, 7, 70}));
}

std::string Output(const std::string& command) // what a command writes to standard output
{
    std::string out;
    std::FILE* pipe = popen(command.c_str(), "r");
    for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) out += static_cast<char>(c);
    return pipe && pclose(pipe) == 0 ? out : "(" + command + " failed)";
}

TEST_F(WavWriterTest, SoxReadsBackFormatLengthAndSamplesAndMeasuresASine)
{
    if (std::system("command -v sox >/dev/null && command -v soxi >/dev/null") != 0) GTEST_SKIP() << "no sox";
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
    const std::string path = At("t.wav").string();
    for (const auto& c : cases) {
        Format(c.rate, c.channels, c.bits);
        ASSERT_EQ(GenerateTone(static_cast<int32_t>(c.shape), 1000, 80, c.seconds), ToneResult::Ok);
        ASSERT_EQ(Save("t.wav"), WavResult::Ok);
        std::string info, expected; // the length is that of the samples read back
        for (std::string option : {"-r", "-c", "-b", "-e"}) info += Output("soxi " + option + " " + path);
        EXPECT_EQ(info, std::to_string(c.rate) + "\n" + std::to_string(c.channels) + "\n" + std::to_string(c.bits) +
                            (c.bits == 8 ? "\nUnsigned" : "\nSigned") + " Integer PCM\n");
        const std::string raw = c.bits > 8 ? "-e signed-integer -L -b " + std::to_string(c.bits) : "-e unsigned -b 8";
        for (int32_t k = 0; k < g_nToneRepeatCount; ++k)
            expected.append(reinterpret_cast<const char*>(g_pPlaybackSource), g_nPlaybackSourceSize);
        EXPECT_TRUE(Output("sox " + path + " -t raw " + raw + " - 2>/dev/null") == expected) << info;
        if (c.shape != ToneShape::Sine || c.channels != 1) continue; // sox measures one channel
        const std::string report = Output("sox " + path + " -n stat 2>&1");
        auto field = [&](const std::string& label) { // the number after "label:"
            const size_t at = report.find(label + ":");
            return at == std::string::npos ? -1.0 : std::strtod(report.c_str() + at + label.size() + 1, nullptr);
        };
        EXPECT_NEAR(field("Rough   frequency"), 1000, 10) << report;
        EXPECT_NEAR(field("Maximum amplitude"), 0.8, 0.001) << report;
        EXPECT_NEAR(field("Minimum amplitude"), -0.8, 0.001) << report;
    }
}

TEST_F(WavWriterTest, RefusalsComeBeforeTheFileIsTouched)
{
    SetTone({1, 2, 3, 4, 5, 6}, 1);
    std::ofstream(At("old.wav")) << "previous";
    Format(128000, 2, 24);
    EXPECT_EQ(Save("old.wav"), WavResult::UnsupportedFormat);
    EXPECT_EQ(Read("old.wav"), B("previous"));
    Format(128000, 2, 16);
    EXPECT_EQ(Save("old.wav"), WavResult::Ok);

    EXPECT_TRUE(WavDataFits(16, 0xFFFFFFFFll - 36) && WavDataFits(24, 0xFFFFFFFFll - 60));
    EXPECT_FALSE(WavDataFits(16, 0xFFFFFFFFll - 35) || WavDataFits(24, 0xFFFFFFFFll - 59));
    g_bOpenFails = true; // a regression must not write 4 GiB
    SetFileOps(&kDisk);
    SetTone({1, 2, 3, 4}, 1 << 30);
    EXPECT_TRUE(Save("old.wav") == WavResult::TooLarge && g_nOpenCalls == 0);
    g_nToneRepeatCount = (1 << 30) - 10; // just fits
    EXPECT_TRUE(Save("old.wav") == WavResult::OpenFailed && g_nOpenCalls == 1);
    SetFileOps(nullptr);
    EXPECT_EQ(Save("no-such-folder/x.wav"), WavResult::OpenFailed);
}

// Saving over a file: a write that fails anywhere (in the header, at the
// seam between two repeats, in the last byte, at the flush) or a replacing
// step that fails leaves the old file byte for byte and no partial file.
TEST_F(WavWriterTest, FailedSaveLeavesTheOldFileIntact)
{
    Format(44100, 1, 16);
    SetTone(Bytes(1000, 7), 3);
    const Bytes old = {'R', 'I', 'F', 'F', 0, 1, 2, 3, 0xFF, 0x80};
    SetFileOps(&kDisk);
    for (bool exists : {false, true}) {
        for (size_t room : {0, 20, 44, 1044, 1500, 3043, 3044}) { // 1044: the seam of two repeats; 3044 fits
            if (exists)
                std::ofstream(At("full.wav"), std::ios::binary).write(reinterpret_cast<const char*>(old.data()), 10);
            g_nDiskRoom = room;
            SCOPED_TRACE(testing::Message() << room << " bytes");
            EXPECT_EQ(Save("full.wav"), room < 3044 ? WavResult::WriteFailed : WavResult::Ok);
            if (room < 3044)
                EXPECT_EQ(Read("full.wav"), exists ? old : Bytes()) << "the old file or none";
            else
                EXPECT_EQ(Read("full.wav").size(), 3044u);
            EXPECT_FALSE(fs::exists(At("full.wav.partial")));
            fs::remove(At("full.wav"));
        }
    }
    std::ofstream(At("full.wav"), std::ios::binary).write(reinterpret_cast<const char*>(old.data()), 10);
    g_nDiskRoom = 1 << 20, g_bFlushFails = true;
    EXPECT_EQ(Save("full.wav"), WavResult::WriteFailed);
    g_bFlushFails = false, g_bReplaceFails = true; // the old file is held open by another program
    EXPECT_EQ(Save("full.wav"), WavResult::OpenFailed);
    EXPECT_EQ(Read("full.wav"), old);
    EXPECT_FALSE(fs::exists(At("full.wav.partial")));
}

} // namespace

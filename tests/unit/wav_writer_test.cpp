// The WAV writer: headers byte by byte, the refusals that leave the disk
// alone, and a write that fails part-way.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "tones/tone_synth.h"
#include "tones/wav_writer.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// A fake disk that takes g_nDiskRoom more bytes, and file operations around it.
size_t g_nDiskRoom = 0;
int g_nOpenCalls = 0;
std::FILE* Open(const char* path, const char* mode) { return ++g_nOpenCalls, std::fopen(path, mode); }
std::FILE* RefusingOpen(const char*, const char*) { return ++g_nOpenCalls, nullptr; }
size_t FillingWrite(const void* data, size_t size, size_t count, std::FILE* file)
{
    const size_t take = std::min(size * count, g_nDiskRoom);
    g_nDiskRoom -= take;
    return std::fwrite(data, 1, take, file) / size;
}
int Close(std::FILE* file) { return std::fclose(file); }
int FailingClose(std::FILE* file) { return std::fclose(file), EOF; } // the last flush found the disk full
int Remove(const char* path) { return std::remove(path); }

class WavWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/mirravox-wav-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_saved = {g_nSampleRate, g_nChannels, g_nBitsPerSample, g_nOutputBufferSize};
        g_nOutputBufferSize = 2097152;
    }
    void TearDown() override
    {
        SetWavFileOps(nullptr);
        FreePlaybackSource();
        g_pInputBuffer = nullptr;
        g_nInputBufferSize = g_nRecordedBytes = 0;
        Format(m_saved[0], m_saved[1], m_saved[2]);
        g_nOutputBufferSize = m_saved[3];
        fs::remove_all(m_dir);
    }
    static void Format(int32_t rate, int32_t channels, int32_t bits)
    {
        g_nSampleRate = rate;
        g_nChannels = channels;
        g_nBitsPerSample = bits;
    }
    static void SetTone(const Bytes& bytes, int32_t times)
    {
        ASSERT_NE(AllocatePlaybackSource(static_cast<int32_t>(bytes.size())), nullptr);
        std::copy(bytes.begin(), bytes.end(), g_pPlaybackSource);
        g_nToneRepeatCount = times;
    }
    WavResult Save(const char* name, bool tone = true) { return WriteWavFile((m_dir / name).string().c_str(), tone); }
    Bytes Read(const char* name)
    {
        std::ifstream in(m_dir / name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path m_dir;
    std::array<int32_t, 4> m_saved{};
};

TEST_F(WavWriterTest, HeadersByteByByte)
{
    Format(8000, 1, 8);
    uint8_t store[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    g_pInputBuffer = store;
    g_nInputBufferSize = sizeof store;
    g_nRecordedBytes = 10;
    ASSERT_TRUE(RecordingAvailable());
    ASSERT_EQ(Save("rec.wav", false), WavResult::Ok);
    EXPECT_EQ(Read("rec.wav"), (Bytes{'R', 'I', 'F', 'F', 46, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', //
                                      16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0,             //
                                      1, 0, 8, 0, 'd', 'a', 't', 'a', 10, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    g_nRecordedBytes = 0;
    EXPECT_FALSE(RecordingAvailable());

    EXPECT_EQ(BuildWavHeader({44100, 2, 16}, 8), // 176400 bytes per second, block align 4
              (Bytes{'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0,
                     0x44, 0xAC, 0, 0, 0x10, 0xB1, 0x02, 0, 4, 0, 16, 0, 'd', 'a', 't', 'a', 8, 0, 0, 0}));

    Format(96000, 1, 24); // extensible: 288000 bytes per second, align 3, front centre
    SetTone({1, 2, 3, 4, 5, 6}, 1);
    ASSERT_EQ(Save("mono24.wav"), WavResult::Ok);
    EXPECT_EQ(Read("mono24.wav"),
              (Bytes{'R', 'I', 'F', 'F', 66, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 40, 0, 0, 0, 0xFE, 0xFF,
                     1, 0, 0x00, 0x77, 0x01, 0, 0x00, 0x65, 0x04, 0, 3, 0, 24, 0, 22, 0, 24, 0, 4, 0, 0, 0, 0x01, 0x00,
                     0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71, 'd', 'a',
                     't', 'a', 6, 0, 0, 0, 1, 2, 3, 4, 5, 6}));

    const Bytes stereo = BuildWavHeader({48000, 2, 24}, 0); // align 6, left and right
    ASSERT_EQ(stereo.size(), 68u);
    EXPECT_EQ(Bytes(stereo.begin() + 28, stereo.begin() + 44),
              (Bytes{0x00, 0x65, 0x04, 0, 6, 0, 24, 0, 22, 0, 24, 0, 3, 0, 0, 0}));
}

TEST_F(WavWriterTest, ToneLoopRepeatedOddLengthAndReplacedFile)
{
    Format(44100, 1, 16);
    ASSERT_EQ(GenerateTone(0, 3000, 50, 1), ToneResult::Ok); // 14700 frames, 4 loops
    ASSERT_EQ(Save("tone.wav"), WavResult::Ok);
    const Bytes loop(g_pPlaybackSource, g_pPlaybackSource + g_nPlaybackSourceSize);
    const Bytes file = Read("tone.wav");
    ASSERT_EQ(file.size(), 44u + 117600u);
    EXPECT_EQ(Bytes(file.begin() + 40, file.begin() + 44), (Bytes{0x60, 0xCB, 0x01, 0x00})); // 117600
    for (size_t k = 0; k < 4; ++k)
        EXPECT_TRUE(std::equal(loop.begin(), loop.end(), file.begin() + 44 + k * loop.size())) << "loop " << k;

    Format(11025, 1, 8);
    SetTone({10, 20, 30, 40, 50, 60, 70}, 1); // over the longer file: replaced, no pad byte
    ASSERT_EQ(Save("tone.wav"), WavResult::Ok);
    const Bytes odd = Read("tone.wav");
    ASSERT_EQ(odd.size(), 51u);
    EXPECT_EQ(odd[4], 43);
    EXPECT_EQ(odd.back(), 70);
    g_nToneRepeatCount = 0; // a count below 1 writes no samples
    ASSERT_EQ(Save("tone.wav"), WavResult::Ok);
    EXPECT_EQ(Read("tone.wav").size(), 44u);
}

TEST_F(WavWriterTest, RefusalsComeBeforeTheFileIsTouched)
{
    SetTone({1, 2, 3, 4, 5, 6}, 1);
    std::ofstream(m_dir / "old.wav") << "previous";
    Format(128000, 2, 24);
    EXPECT_EQ(Save("old.wav"), WavResult::UnsupportedFormat);
    EXPECT_EQ(Read("old.wav"), (Bytes{'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
    Format(128000, 2, 16);
    EXPECT_EQ(Save("old.wav"), WavResult::Ok);

    EXPECT_TRUE(WavDataFits(16, 0xFFFFFFFFll - 36));
    EXPECT_FALSE(WavDataFits(16, 0xFFFFFFFFll - 35));
    EXPECT_TRUE(WavDataFits(24, 0xFFFFFFFFll - 60));
    EXPECT_FALSE(WavDataFits(24, 0xFFFFFFFFll - 59));
    // 4 GiB of data; the open is refused so that a regression cannot write it.
    WavFileOps refusing{&RefusingOpen, &FillingWrite, &Close, &Remove};
    SetWavFileOps(&refusing);
    g_nOpenCalls = 0;
    SetTone({1, 2, 3, 4}, 1 << 30);
    EXPECT_EQ(Save("old.wav"), WavResult::TooLarge);
    EXPECT_EQ(g_nOpenCalls, 0);
    g_nToneRepeatCount = (1 << 30) - 10; // just fits
    EXPECT_EQ(Save("old.wav"), WavResult::OpenFailed);
    EXPECT_EQ(g_nOpenCalls, 1);

    SetWavFileOps(nullptr);
    EXPECT_EQ(Save("no-such-folder/x.wav"), WavResult::OpenFailed);
}

TEST_F(WavWriterTest, WriteFailingPartWayRemovesTheFile)
{
    Format(44100, 1, 16);
    SetTone(Bytes(1000, 7), 3);
    WavFileOps full{&Open, &FillingWrite, &Close, &Remove};
    SetWavFileOps(&full);
    for (size_t room : {0, 20, 44, 1500, 3043}) {
        g_nDiskRoom = room;
        EXPECT_EQ(Save("full.wav"), WavResult::WriteFailed) << room << " bytes";
        EXPECT_FALSE(fs::exists(m_dir / "full.wav")) << room << " bytes";
    }
    g_nDiskRoom = 3044; // exactly enough
    EXPECT_EQ(Save("full.wav"), WavResult::Ok);
    EXPECT_EQ(fs::file_size(m_dir / "full.wav"), 3044u);

    WavFileOps flushFails{&Open, &FillingWrite, &FailingClose, &Remove};
    SetWavFileOps(&flushFails);
    g_nDiskRoom = 1 << 20;
    EXPECT_EQ(Save("full.wav"), WavResult::WriteFailed);
    EXPECT_FALSE(fs::exists(m_dir / "full.wav"));
    EXPECT_EQ(Bytes(g_pPlaybackSource, g_pPlaybackSource + g_nPlaybackSourceSize), Bytes(1000, 7));
    EXPECT_EQ(g_nToneRepeatCount, 3);
}

} // namespace

#include "app/format_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "display/view_settings.h"
#include "state/app_state.h"

namespace {

using V = std::vector<int32_t>;

int IndexOf(const char* const* labels, const char* label)
{
    for (int i = 0; labels[i]; ++i)
        if (std::string(labels[i]) == label) return i;
    return -1;
}

bool AllAre(const uint8_t* store, int32_t size, uint8_t v) { return std::count(store, store + size, v) == size; }

// What a buffer-size change does to the stores: both freed, then each allocated.
enum { kInputFailed = 1, kOutputFailed = 2 };
int Reallocate(int bufferIndex)
{
    FreeStores();
    const int32_t size = BufferSizeAt(bufferIndex);
    return (AllocateInputStore(size) ? 0 : kInputFailed) | (AllocateOutputStore(size) ? 0 : kOutputFailed);
}

class FormatSettings : public ::testing::Test {
protected:
    void TearDown() override { SetStoreAllocator(nullptr), FreeStores(), g_bRecording = 0, g_bPlaying = 0; }
    void Choose(const char* rate, const char* channels, const char* bits, const char* size = "2MB")
    {
        DeriveFormat(IndexOf(kSampleRateLabels, rate), IndexOf(kChannelLabels, channels),
                     IndexOf(kResolutionLabels, bits));
        bufferIndex = IndexOf(kBufferSizeLabels, size);
        ASSERT_EQ(Reallocate(bufferIndex), 0);
        ResetStores(), FitStoreSizes(BufferSizeAt(bufferIndex));
    }
    int bufferIndex = -1;
};

TEST(FormatTables, LabelsAndValuesLineUp)
{
    for (int i = 0; kSampleRateLabels[i]; ++i) EXPECT_EQ(SampleRateAt(i), std::atoi(kSampleRateLabels[i]));
    for (int i = 0; kBufferSizeLabels[i]; ++i) EXPECT_EQ(BufferSizeAt(i), std::atoi(kBufferSizeLabels[i]) << 20);
    EXPECT_EQ(FrameIntervalAt(IndexOf(kFrameSpeedLabels, "Very Fast")), 30);
    EXPECT_EQ(FrameIntervalAt(IndexOf(kFrameSpeedLabels, "Super Slow")), 1000);
    EXPECT_EQ((V{BufferSizeAt(-1), BufferSizeAt(6), FrameIntervalAt(6)}), (V{0, 0, 0})); // beyond the lists
}

TEST_F(FormatSettings, DerivedValuesAndStoresOfWholeFrames)
{
    const struct {
        const char *rate, *channels, *bits, *size;
        V derived;
    } cases[] = {
        // Sample rate, bytes per second, block frames, usable store bytes.
        {"5000Hz", "1 (Mono)", "8 bit", "2MB", {5000, 5000, 512, 2097152}},
        {"32000Hz", "2 (Stereo)", "16 bit", "2MB", {32000, 128000, 512, 2097152}},
        {"44100Hz (CD quality)", "2 (Stereo)", "24 bit", "2MB", {44100, 264600, 1024, 2097150}},
        {"8000Hz", "2 (Stereo)", "8 bit", "5MB", {8000, 16000, 512, 5242880}},
    };
    for (const auto& c : cases) {
        Choose(c.rate, c.channels, c.bits, c.size);
        EXPECT_EQ((V{g_nSampleRate, g_nBytesPerSec, g_nBlockSize, g_nInputBufferSize}), c.derived) << c.rate;
        EXPECT_EQ(g_nOutputBufferSize, g_nInputBufferSize);
    }
}

TEST_F(FormatSettings, ClearingFillsSilenceAndResetsCounters)
{
    Choose("44100Hz (CD quality)", "1 (Mono)", "8 bit", "1MB");
    g_nRecordedBytes = 500, g_nInputPos = 400, g_nInputEnd = 450, g_bInputWrapped = 1;
    g_nOutputBytes = 300, g_nOutputPos = 200, g_bOutputWrapped = 1, g_nViewPos = 100;
    g_pInputBuffer[7] = 3, g_pOutputBuffer[9] = 3;
    ASSERT_TRUE(ResetStores());
    EXPECT_EQ((V{g_nRecordedBytes, g_nInputPos, g_bInputWrapped, g_nOutputBytes, g_nOutputPos, g_bOutputWrapped}),
              (V{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ((V{g_nViewPos, g_nInputEnd}), (V{0, 0}));
    EXPECT_TRUE(AllAre(g_pInputBuffer, g_nInputBufferSize, 128) && AllAre(g_pOutputBuffer, g_nOutputBufferSize, 128));
    Choose("44100Hz (CD quality)", "2 (Stereo)", "16 bit", "1MB"); // silence after a change is 0
    EXPECT_TRUE(AllAre(g_pInputBuffer, g_nInputBufferSize, 0) && AllAre(g_pOutputBuffer, g_nOutputBufferSize, 0));
    g_nRecordedBytes = 77, g_bRecording = 1;
    EXPECT_FALSE(ResetStores()) << "nothing is cleared while a session runs";
    EXPECT_EQ(g_nRecordedBytes, 77);
}

// Both failing, and the clearing after it, are covered by the main window's low-memory test.
TEST_F(FormatSettings, StoreThatCannotBeAllocatedIsAbsentAndTheOtherIsStillSet)
{
    Choose("11025Hz (Telephone)", "1 (Mono)", "8 bit");
    static int calls, failing;
    SetStoreAllocator([](size_t n) { return ++calls == failing ? nullptr : std::malloc(n); });
    for (failing = 1; failing <= 2; ++failing) {
        calls = 0;
        EXPECT_EQ(Reallocate(bufferIndex), failing == 1 ? kInputFailed : kOutputFailed);
        EXPECT_TRUE(ResetStores()); // touches no null store (ASan would catch it)
        FitStoreSizes(BufferSizeAt(bufferIndex));
        EXPECT_EQ((V{g_nInputBufferSize, g_nOutputBufferSize}), (failing == 1 ? V{0, 2097152} : V{2097152, 0}));
    }
}

TEST(CommandLine, InstallSwitch)
{
    for (const char* yes : {"/I", "/i", "/Install", "/install", "/ix"}) EXPECT_TRUE(IsInstallSwitch(yes)) << yes;
    for (const char* no : {"I", "-I", "/", "/x", "//I", ""}) EXPECT_FALSE(IsInstallSwitch(no)) << no;
    const char* args[] = {"/I", "file", "/install"};
    EXPECT_TRUE(!HasInstallSwitch(1, args) && HasInstallSwitch(3, args)) << "the program name is not examined";
}

} // namespace

#include "app/format_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"

namespace {

int IndexOf(const char* const* labels, const char* label)
{
    for (int i = 0; labels[i]; ++i)
        if (std::string(labels[i]) == label) return i;
    return -1;
}

class FormatSettings : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetStoreAllocator(nullptr);
        FreeStores();
        g_bRecording = 0;
        g_bPlaying = 0;
    }
    void Choose(const char* rate, const char* channels, const char* bits, const char* size = "2MB")
    {
        DeriveFormat(IndexOf(kSampleRateLabels, rate), IndexOf(kChannelLabels, channels),
                     IndexOf(kResolutionLabels, bits));
        bufferIndex = IndexOf(kBufferSizeLabels, size);
        ASSERT_EQ(ReallocateStores(bufferIndex), 0);
        ResetStores();
        FitStoreSizes(bufferIndex);
    }
    int bufferIndex = -1;
};

TEST(FormatTables, LabelsAndValuesLineUp)
{
    const char* const* labels[] = {kSampleRateLabels, kFrameSpeedLabels, kBufferSizeLabels};
    const int32_t* values[] = {kSampleRateValues, kFrameSpeedValues, kBufferSizeValues};
    const int counts[] = {13, 6, 6};
    for (int t = 0; t < 3; ++t) {
        int n = 0;
        while (labels[t][n]) ++n;
        EXPECT_EQ(n, counts[t]);
        EXPECT_EQ(values[t][n], -1) << "value list must close where the labels close";
    }
    EXPECT_EQ(SampleRateAt(IndexOf(kSampleRateLabels, "128000Hz")), 128000);
    EXPECT_EQ(FrameIntervalAt(IndexOf(kFrameSpeedLabels, "Super Slow")), 1000);
    EXPECT_EQ(BufferSizeAt(IndexOf(kBufferSizeLabels, "20MB")), 20971520);
    EXPECT_EQ(BufferSizeAt(-1), 0) << "no selection gives no size";
    EXPECT_EQ(BufferSizeAt(6), 0);
    EXPECT_EQ(BitsForResolutionIndex(5), 24);
}

TEST_F(FormatSettings, DerivedValues)
{
    Choose("5000Hz", "1 (Mono)", "8 bit");
    EXPECT_EQ(g_nSampleRate, 5000);
    EXPECT_EQ(g_nBytesPerSec, 5000);

    Choose("44100Hz (CD quality)", "2 (Stereo)", "16 bit");
    EXPECT_EQ(g_nBlockSize, 1024);
    EXPECT_EQ(g_nBytesPerSec, 176400);
    EXPECT_EQ(BlockBytes(), 4096);

    Choose("32000Hz", "2 (Stereo)", "16 bit");
    EXPECT_EQ(g_nBlockSize, 512);

    Choose("11025Hz (Telephone)", "1 (Mono)", "8 bit");
    EXPECT_EQ(g_nBytesPerSec, 11025);
    EXPECT_EQ(g_nBlockSize, 512);
    EXPECT_EQ(g_nInputBufferSize, 2097152);
    EXPECT_EQ(g_nOutputBufferSize, 2097152);
}

TEST_F(FormatSettings, StoreSizesRoundToWholeFrames)
{
    Choose("44100Hz (CD quality)", "1 (Mono)", "24 bit", "1MB");
    EXPECT_EQ(g_nInputBufferSize, 1048575);
    EXPECT_EQ(g_nOutputBufferSize, 1048575);
    Choose("44100Hz (CD quality)", "2 (Stereo)", "24 bit", "2MB");
    EXPECT_EQ(g_nInputBufferSize, 2097150);
    Choose("8000Hz", "2 (Stereo)", "8 bit", "5MB");
    EXPECT_EQ(g_nInputBufferSize, 5242880);
    EXPECT_EQ(UsableStoreSize(1000, 1, 32), 1000);
    EXPECT_EQ(UsableStoreSize(1001, 2, 32), 1000);
    EXPECT_EQ(UsableStoreSize(1001, 1, 40), 1001) << "no rounding above 32 bits";
}

TEST_F(FormatSettings, ClearingFillsSilenceAndResetsCounters)
{
    Choose("44100Hz (CD quality)", "1 (Mono)", "8 bit", "1MB");
    g_nRecordedBytes = 500;
    g_nInputPos = 400;
    g_bInputWrapped = 1;
    g_nOutputBytes = 300;
    g_nOutputPos = 200;
    g_bOutputWrapped = 1;
    g_nViewPos = 100;
    g_pInputBuffer[7] = 3;
    ASSERT_TRUE(ResetStores());
    for (int32_t v : {g_nRecordedBytes.load(), g_nInputPos.load(), g_bInputWrapped.load(),
                      g_nOutputBytes.load(), g_nOutputPos.load(), g_bOutputWrapped.load(), g_nViewPos})
        EXPECT_EQ(v, 0);
    for (int32_t i = 0; i < g_nInputBufferSize; i += 4093) {
        ASSERT_EQ(g_pInputBuffer[i], 128);
        ASSERT_EQ(g_pOutputBuffer[i], 128);
    }
    EXPECT_EQ(g_pInputBuffer[7], 128);

    Choose("44100Hz (CD quality)", "2 (Stereo)", "16 bit", "1MB");
    EXPECT_EQ(g_pInputBuffer[0], 0);
    EXPECT_EQ(g_pOutputBuffer[g_nOutputBufferSize - 1], 0);

    g_nRecordedBytes = 77;
    g_bRecording = 1;
    EXPECT_FALSE(ResetStores()) << "nothing is cleared while a session runs";
    EXPECT_EQ(g_nRecordedBytes, 77);
}

void* FailEveryAllocation(size_t) { return nullptr; }
int g_allocCount = 0;
void* FailSecondAllocation(size_t n)
{
    return ++g_allocCount == 2 ? nullptr : std::malloc(n);
}

TEST_F(FormatSettings, StoreThatCannotBeAllocatedIsAbsent)
{
    Choose("11025Hz (Telephone)", "1 (Mono)", "8 bit");
    SetStoreAllocator(&FailEveryAllocation);
    EXPECT_EQ(ReallocateStores(bufferIndex), kInputStoreFailed | kOutputStoreFailed);
    EXPECT_EQ(g_pInputBuffer, nullptr);
    EXPECT_EQ(g_pOutputBuffer, nullptr);
    EXPECT_TRUE(ResetStores()); // touches no null store (ASan would catch it)
    FitStoreSizes(bufferIndex);
    EXPECT_EQ(g_nInputBufferSize, 0);
    EXPECT_EQ(g_nOutputBufferSize, 0);

    g_allocCount = 0;
    SetStoreAllocator(&FailSecondAllocation);
    EXPECT_EQ(ReallocateStores(bufferIndex), kOutputStoreFailed);
    ResetStores();
    FitStoreSizes(bufferIndex);
    EXPECT_EQ(g_nInputBufferSize, 2097152) << "the other store is still set";
    EXPECT_EQ(g_nOutputBufferSize, 0);

    SetStoreAllocator(nullptr);
    EXPECT_EQ(ReallocateStores(bufferIndex), 0) << "a later size change succeeds";
    FitStoreSizes(bufferIndex);
    EXPECT_EQ(g_nOutputBufferSize, 2097152);
}

TEST(CommandLine, InstallSwitch)
{
    for (const char* yes : {"/I", "/i", "/Install", "/install", "/ix"}) EXPECT_TRUE(IsInstallSwitch(yes)) << yes;
    for (const char* no : {"I", "-I", "/", "/x", "//I", ""}) EXPECT_FALSE(IsInstallSwitch(no)) << no;
    const char* args[] = {"/I", "file", "/install"};
    EXPECT_FALSE(HasInstallSwitch(1, args)) << "the program name is not examined";
    EXPECT_TRUE(HasInstallSwitch(3, args));
}

} // namespace

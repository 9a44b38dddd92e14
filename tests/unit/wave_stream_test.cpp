// CWave streaming on the simulated device: capture into the recording store,
// playback of a looped source into the playback store, and closing while
// blocks are in flight. Stepped block by block unless a test says otherwise;
// the device's sink keeps every played byte, so the played stream can be
// checked against the source it loops.
#include "app/app_state.h"
#include "audio/wave.h"
#include "platform/sim_wave_device.h"
#include "platform/sync.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

class WaveStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetStepped(true);
        // Each recorded block is stamped with its number, counted from 1.
        SimSetInputSignal([](uint8_t* data, uint32_t bytes, uint64_t offset) {
            std::memset(data, int(offset / bytes + 1), bytes);
        });
        SimSetOutputSink([this](const uint8_t* data, uint32_t bytes) {
            m_played.insert(m_played.end(), data, data + bytes);
        });
        m_savedInputSize = g_nInputBufferSize;
        m_savedStore = g_pOutputBuffer;
        m_savedSize = g_nOutputBufferSize;
        ResetStores(nullptr, 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(nullptr);
        ResetStores(m_savedStore, m_savedSize);
        g_nInputBufferSize = m_savedInputSize;
    }
    static void ResetStores(uint8_t* playbackStore, int32_t size)
    {
        g_pOutputBuffer = playbackStore;
        g_nOutputBufferSize = size;
        g_nOutputPos = g_nOutputBytes = g_bOutputWrapped = 0;
        g_nRecordedBytes = g_nInputPos = g_bInputWrapped = 0;
    }
    // Index of the first played byte that is not source[k % size], or -1.
    long FirstGap(const std::vector<uint8_t>& source) const
    {
        for (size_t k = 0; k < m_played.size(); ++k)
            if (m_played[k] != source[k % source.size()])
                return long(k);
        return -1;
    }
    static std::vector<uint8_t> Pattern(size_t size)
    {
        std::vector<uint8_t> v(size);
        for (size_t i = 0; i < size; ++i)
            v[i] = uint8_t(i * 37 % 251 + 1);
        return v;
    }
    static void ExpectAllHeadersBack(const CWave& wave)
    {
        for (const WaveHeader& h : wave.m_Header)
            EXPECT_EQ(LoadHeaderFlags(h) & (kHeaderPrepared | kHeaderInQueue), 0u);
    }
    static double Ms(int64_t counts) { return 1000.0 * double(counts) / double(SyncCounterFrequency()); }

    std::vector<uint8_t> m_played;
    int32_t m_savedInputSize = 0;
    uint8_t* m_savedStore = nullptr;
    int32_t m_savedSize = 0;
};

using WaveCapture = WaveStream;
using WavePlayback = WaveStream;
using WaveClose = WaveStream;

TEST_F(WaveCapture, TenBlockStoreFillsPositionsZeroToEightThenWraps)
{
    CWave wave(512, 1, 11025, 8);
    const int B = wave.m_nBlockBytes;
    ASSERT_EQ(B, 512);
    std::vector<uint8_t> store(10 * B, 0);
    g_nInputBufferSize = 10 * B;
    wave.SetInputStore(store.data(), 10 * B);
    EXPECT_EQ(store[5 * B], 128) << "an 8-bit store starts as silence";

    ASSERT_EQ(wave.OpenInput(0), kWaveOk);
    for (int i = 0; i < CWave::kBlockCount; ++i) {
        EXPECT_EQ(LoadHeaderFlags(wave.m_Header[i]), kHeaderPrepared | kHeaderInQueue);
        EXPECT_EQ(wave.m_Header[i].dwUser, uintptr_t(i));
    }
    ASSERT_EQ(wave.StartInput(), kWaveOk);

    for (int k = 0; k < 9; ++k) {
        ASSERT_EQ(SimCompleteBlocks(kSimInput, 1), 1);
        EXPECT_EQ(g_nInputPos, k * B);
        EXPECT_EQ(g_nRecordedBytes, (k + 1) * B);
        EXPECT_EQ(store[k * B], k + 1);
        EXPECT_EQ(store[k * B + B - 1], k + 1);
    }
    EXPECT_EQ(g_bInputWrapped, 0);
    EXPECT_EQ(SimQueuedBlocks(kSimInput), 8) << "every block goes straight back to the device";

    ASSERT_EQ(SimCompleteBlocks(kSimInput, 1), 1);
    EXPECT_EQ(g_bInputWrapped, 1);
    EXPECT_EQ(g_nInputPos, 0);
    EXPECT_EQ(store[0], 10);
    EXPECT_EQ(store[B], 2);
    EXPECT_EQ(store[9 * B], 128) << "the last stretch of exactly one block is never written";
    EXPECT_EQ(g_nRecordedBytes, 10 * B);

    ASSERT_EQ(SimCompleteBlocks(kSimInput, 5), 5);
    EXPECT_EQ(g_nRecordedBytes, 10 * B) << "capped at the store size";
    EXPECT_EQ(g_nInputPos, 5 * B);
    EXPECT_EQ(store[5 * B], 15);
    EXPECT_EQ(wave.m_nTotalIn, 15 * B);

    EXPECT_EQ(wave.CloseInput(), kWaveOk);
    EXPECT_EQ(wave.m_hWaveIn, nullptr);
    for (const WaveHeader& h : wave.m_Header)
        EXPECT_EQ(LoadHeaderFlags(h) & (kHeaderPrepared | kHeaderInQueue), 0u);
}

TEST_F(WaveCapture, AbsentOrTooSmallStoreIsNeverWritten)
{
    CWave wave(512, 1, 11025, 8);
    const int B = wave.m_nBlockBytes;
    wave.SetInputStore(nullptr, 0);
    ASSERT_EQ(wave.OpenInput(0), kWaveOk);
    ASSERT_EQ(wave.StartInput(), kWaveOk);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 3), 3);
    EXPECT_EQ(wave.m_nTotalIn, 3 * B) << "blocks are counted without a store";
    EXPECT_EQ(g_nRecordedBytes, 0);
    EXPECT_EQ(wave.GetStoreStatus(nullptr, nullptr, nullptr, nullptr), 0);
    wave.CloseInput();

    // Exactly sized, so the address sanitizer sees any write past its end.
    std::vector<uint8_t> small(B - 1);
    CWave tiny(512, 1, 11025, 8);
    tiny.SetInputStore(small.data(), B - 1);
    ASSERT_EQ(tiny.OpenInput(0), kWaveOk);
    ASSERT_EQ(tiny.StartInput(), kWaveOk);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 2), 2);
    EXPECT_EQ(small, std::vector<uint8_t>(B - 1, 128));
    tiny.CloseInput();
}

TEST_F(WaveCapture, OpenFailuresLeaveNoDeviceBehind)
{
    CWave wave(512, 1, 11025, 8);
    SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible&) { return false; });
    EXPECT_EQ(wave.OpenInput(0), kWaveErrBadFormat);
    EXPECT_EQ(wave.OpenOutput(0), kWaveErrBadFormat);
    SimSetFormatRule(nullptr);
    SimSetOpenFailure(kSimInput, kWaveErrAllocated);
    EXPECT_EQ(wave.OpenInput(0), kWaveErrAllocated);
    EXPECT_EQ(wave.OpenInput(7), kWaveErrBadDeviceId);
    EXPECT_EQ(wave.m_hWaveIn, nullptr);
    EXPECT_EQ(wave.m_hWaveOut, nullptr);
    EXPECT_EQ(SimOpenDeviceCount(), 0);
}

struct StatusCase {
    int blockSamples, channels, rate, bits, storeSize;
    int blocks;
    int percent, bytes, position;
    float seconds;
};

TEST_F(WaveCapture, StoreStatusReportsFillAndWrap)
{
    const StatusCase cases[] = {
        // 250-byte blocks into 1000 bytes: one block is 25 %.
        {250, 1, 11025, 8, 1000, 1, 25, 250, 250, 250.0f / 11025},
        // The fourth block would reach the end, so it wraps: 100 %, the full size.
        {250, 1, 11025, 8, 1000, 4, 100, 1000, 250, 1000.0f / 11025},
        // 16-bit stereo: seconds = bytes / channels / 2 / rate.
        {250, 2, 8000, 16, 4000, 1, 25, 1000, 1000, 0.03125f},
    };
    for (const StatusCase& c : cases) {
        CWave wave(c.blockSamples, c.channels, c.rate, c.bits);
        std::vector<uint8_t> store(c.storeSize);
        g_nInputBufferSize = c.storeSize;
        wave.SetInputStore(store.data(), c.storeSize);
        ASSERT_EQ(wave.OpenInput(0), kWaveOk);
        ASSERT_EQ(wave.StartInput(), kWaveOk);
        ASSERT_EQ(SimCompleteBlocks(kSimInput, c.blocks), c.blocks);
        int percent = -1, bytes = -1, position = -1;
        float seconds = -1;
        EXPECT_EQ(wave.GetStoreStatus(&percent, &bytes, &seconds, &position), c.percent);
        EXPECT_EQ(percent, c.percent);
        EXPECT_EQ(bytes, c.bytes);
        EXPECT_EQ(position, c.position);
        EXPECT_FLOAT_EQ(seconds, c.seconds);
        wave.CloseInput();
        g_nRecordedBytes = 0;
    }
}

TEST_F(WavePlayback, BlockAndAHalfSourceLoopsWithoutAGap)
{
    CWave wave(512, 1, 11025, 8);
    const int B = wave.m_nBlockBytes;
    std::vector<uint8_t> source = Pattern(B + B / 2);
    std::vector<uint8_t> store(20 * B);
    ResetStores(store.data(), 20 * B);
    wave.SetOutputSource(source.data(), int32_t(source.size()));
    ASSERT_EQ(wave.OpenOutput(0), kWaveOk);
    for (const WaveHeader& h : wave.m_Header)
        EXPECT_EQ(LoadHeaderFlags(h), kHeaderPrepared);
    EXPECT_EQ(wave.StartOutput(), 1);
    EXPECT_EQ(SimQueuedBlocks(kSimOutput), 8);
    for (const WaveHeader& h : wave.m_Header)
        EXPECT_EQ(LoadHeaderFlags(h), kHeaderPrepared | kHeaderInQueue);

    const int kBlocks = 3000;
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, kBlocks), kBlocks);
    ASSERT_EQ(m_played.size(), size_t(kBlocks) * B);
    EXPECT_EQ(FirstGap(source), -1);
    EXPECT_EQ(wave.m_nTotalOut, int64_t(kBlocks) * B);
    EXPECT_EQ(SimQueuedBlocks(kSimOutput), 8);

    // 3000 blocks into a 20-block store: it has wrapped exactly and holds the last 20.
    EXPECT_EQ(g_bOutputWrapped, 1);
    EXPECT_EQ(g_nOutputPos, 0);
    EXPECT_EQ(g_nOutputBytes, 20 * B);
    EXPECT_TRUE(std::equal(store.begin(), store.end(), m_played.end() - 20 * B));
    EXPECT_EQ(wave.CloseOutput(), kWaveOk);
    EXPECT_EQ(wave.m_hWaveOut, nullptr);
}

TEST_F(WavePlayback, SourceShorterThanOneBlockRepeatsWithinTheBlock)
{
    CWave wave(512, 1, 11025, 8);
    // Exactly sized, so the address sanitizer sees any read past its end.
    std::vector<uint8_t> source = Pattern(100);
    wave.SetOutputSource(source.data(), int32_t(source.size()));
    ASSERT_EQ(wave.OpenOutput(0), kWaveOk);
    wave.StartOutput();
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 50), 50);
    EXPECT_EQ(FirstGap(source), -1);
    EXPECT_EQ(wave.m_bStoreWrapped, 1);
    wave.CloseOutput();
}

TEST_F(WavePlayback, PlaybackStoreKeepsThePartThatFitsThenWraps)
{
    CWave wave(512, 1, 11025, 8);
    const int B = wave.m_nBlockBytes;
    std::vector<uint8_t> source = Pattern(7 * B);
    const int size = 2 * B + B / 2;
    std::vector<uint8_t> store(size);
    ResetStores(store.data(), size);
    wave.SetOutputSource(source.data(), int32_t(source.size()));
    ASSERT_EQ(wave.OpenOutput(0), kWaveOk);
    wave.StartOutput();

    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 2), 2);
    EXPECT_EQ(g_nOutputPos, 2 * B);
    EXPECT_EQ(g_nOutputBytes, 2 * B);
    EXPECT_EQ(g_bOutputWrapped, 0);

    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 1), 1);
    EXPECT_TRUE(std::equal(store.begin() + 2 * B, store.end(), m_played.begin() + 2 * B));
    EXPECT_EQ(g_nOutputPos, 0);
    EXPECT_EQ(g_bOutputWrapped, 1);
    EXPECT_EQ(g_nOutputBytes, size);
    EXPECT_EQ(wave.m_nTotalOut, size) << "the dropped half block is not counted";

    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 1), 1);
    EXPECT_TRUE(std::equal(store.begin(), store.begin() + B, m_played.begin() + 3 * B));
    EXPECT_EQ(g_nOutputPos, B);
    EXPECT_EQ(wave.m_nTotalOut, size + B);
    wave.CloseOutput();
}

TEST_F(WavePlayback, AbsentSourceAndStoreAreNeverTouched)
{
    CWave wave(512, 1, 11025, 8);
    const int B = wave.m_nBlockBytes;
    wave.SetOutputSource(nullptr, 0);
    ASSERT_EQ(wave.OpenOutput(0), kWaveOk);
    wave.StartOutput();
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 4), 4);
    EXPECT_EQ(m_played, std::vector<uint8_t>(4 * B, 128)) << "no source plays silence";
    EXPECT_EQ(wave.m_nTotalOut, 4 * B) << "played blocks count without a playback store";
    EXPECT_EQ(g_nOutputBytes, 0);
    EXPECT_EQ(g_nOutputPos, 0);
    wave.CloseOutput();
}

TEST_F(WaveClose, ClosingWhileBlocksAreInFlightLeavesNothingBehind)
{
    SimSetStepped(false);
    std::vector<uint8_t> recording(1 << 16), playbackStore(1 << 16);
    std::vector<uint8_t> source(10000, 7);
    ResetStores(playbackStore.data(), int32_t(playbackStore.size()));
    g_nInputBufferSize = int32_t(recording.size());
    double worstIn = 0, worstOut = 0;
    const int kRounds = 30;
    for (int round = 0; round < kRounds; ++round) {
        // A capture and a playback at once, sharing the close mutex; 23 ms blocks.
        CWave in(1024, 2, 44100, 16);
        CWave out(1024, 2, 44100, 16);
        const int B = in.m_nBlockBytes;
        in.SetInputStore(recording.data(), int32_t(recording.size()));
        out.SetOutputSource(source.data(), int32_t(source.size()));
        ASSERT_EQ(in.OpenInput(0), kWaveOk);
        ASSERT_EQ(out.OpenOutput(0), kWaveOk);
        ASSERT_EQ(in.StartInput(), kWaveOk);
        out.StartOutput();

        // Round 0, 3, 6...: close before any block has finished.
        const int wait = round % 3;
        ASSERT_EQ(SimCompleteBlocks(kSimInput, wait), wait);
        ASSERT_EQ(SimCompleteBlocks(kSimOutput, wait), wait);

        // Alternate which device closes first.
        auto timedClose = [](auto close) {
            const int64_t t0 = SyncCounter();
            EXPECT_EQ(close(), kWaveOk);
            return Ms(SyncCounter() - t0);
        };
        auto closeIn = [&] { return in.CloseInput(); };
        auto closeOut = [&] { return out.CloseOutput(); };
        double inMs, outMs;
        if (round % 2 == 1) {
            outMs = timedClose(closeOut);
            inMs = timedClose(closeIn);
        } else {
            inMs = timedClose(closeIn);
            outMs = timedClose(closeOut);
        }
        worstIn = std::max(worstIn, inMs);
        worstOut = std::max(worstOut, outMs);

        EXPECT_EQ(SimOpenDeviceCount(), 0);
        ExpectAllHeadersBack(in);
        ExpectAllHeadersBack(out);
        EXPECT_GE(in.m_nTotalIn, int64_t(wait) * B);
        EXPECT_GE(out.m_nTotalOut, int64_t(wait) * B);
        g_nRecordedBytes = 0;
    }
    std::printf("[ close  ] worst of %d rounds: input %.1f ms, output %.1f ms\n", kRounds, worstIn,
                worstOut);
    RecordProperty("worst_input_close_ms", int(worstIn));
    RecordProperty("worst_output_close_ms", int(worstOut));
}

TEST_F(WaveClose, StalledOutputHandsBackEveryBlockAndCloses)
{
    SimSetStall(kSimOutput, true);
    std::vector<uint8_t> source(4096, 1);
    CWave out(512, 1, 11025, 8);
    std::vector<uint8_t> playbackStore(1 << 16);
    ResetStores(playbackStore.data(), int32_t(playbackStore.size()));
    out.SetOutputSource(source.data(), int32_t(source.size()));
    ASSERT_EQ(out.OpenOutput(0), kWaveOk);
    out.StartOutput();
    EXPECT_EQ(SimCompleteBlocks(kSimOutput, 1), 0);
    EXPECT_EQ(out.CloseOutput(), kWaveOk);
    EXPECT_EQ(out.m_nTotalOut, 8 * out.m_nBlockBytes) << "reset returns all 8 blocks as done";
    ExpectAllHeadersBack(out);
}

TEST_F(WaveClose, LostInputDeviceStopsDeliveringAndStillCloses)
{
    std::vector<uint8_t> recording(1 << 16);
    CWave in(512, 1, 11025, 8);
    in.SetInputStore(recording.data(), int32_t(recording.size()));
    ASSERT_EQ(in.OpenInput(0), kWaveOk);
    ASSERT_EQ(in.StartInput(), kWaveOk);
    SimDropAfter(kSimInput, 3);
    EXPECT_EQ(SimCompleteBlocks(kSimInput, 10), 3);
    EXPECT_EQ(in.m_nTotalIn, 3 * in.m_nBlockBytes);
    EXPECT_EQ(SimQueuedBlocks(kSimInput), 7) << "the lost device refused the third block back";
    EXPECT_EQ(in.CloseInput(), kWaveOk);
    ExpectAllHeadersBack(in);
}

// The simulator's table, except that a completion preparing its block again
// (after it has found the object open) waits until a close has reset the
// device: the block must then not be queued, or it would outlive the close.
struct CloseRace {
    static WaveDeviceTable table;
    static std::mutex mutex;
    static std::condition_variable changed;
    static bool armed, completionWaiting, resetDone;

    static uint32_t Prepare(WaveHandle device, WaveHeader* header)
    {
        const uint32_t result = SimWaveDeviceTable()->outPrepareHeader(device, header);
        std::unique_lock<std::mutex> lk(mutex);
        if (armed) {
            armed = false;
            completionWaiting = true;
            changed.notify_all();
            changed.wait(lk, [] { return resetDone; });
        }
        return result;
    }
    static uint32_t Reset(WaveHandle device)
    {
        const uint32_t result = SimWaveDeviceTable()->outReset(device);
        std::lock_guard<std::mutex> lk(mutex);
        resetDone = true;
        changed.notify_all();
        return result;
    }
};
WaveDeviceTable CloseRace::table;
std::mutex CloseRace::mutex;
std::condition_variable CloseRace::changed;
bool CloseRace::armed, CloseRace::completionWaiting, CloseRace::resetDone;

TEST_F(WaveClose, BlockRefilledDuringCloseIsNotQueuedAgain)
{
    CloseRace::table = *SimWaveDeviceTable();
    CloseRace::table.outPrepareHeader = &CloseRace::Prepare;
    CloseRace::table.outReset = &CloseRace::Reset;
    CloseRace::armed = CloseRace::completionWaiting = CloseRace::resetDone = false;
    SetWaveDeviceTable(&CloseRace::table);

    std::vector<uint8_t> source(4096, 1);
    CWave out(512, 1, 11025, 8);
    out.SetOutputSource(source.data(), int32_t(source.size()));
    ASSERT_EQ(out.OpenOutput(0), kWaveOk);
    out.StartOutput();
    {
        std::lock_guard<std::mutex> lk(CloseRace::mutex);
        CloseRace::armed = true;
    }
    std::thread completer([] { SimCompleteBlocks(kSimOutput, 1); });
    {
        std::unique_lock<std::mutex> lk(CloseRace::mutex);
        CloseRace::changed.wait(lk, [] { return CloseRace::completionWaiting; });
    }
    EXPECT_EQ(out.CloseOutput(), kWaveOk);
    completer.join();
    EXPECT_EQ(SimOpenDeviceCount(), 0);
    ExpectAllHeadersBack(out);
}

} // namespace

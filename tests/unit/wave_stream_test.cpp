// CWave streaming on the simulated device, stepped unless a test says otherwise.
// Its sink keeps every played byte, to be checked against the looped source.
#include "audio/wave.h"
#include "platform/sim_wave_device.h"
#include "state/app_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

namespace {

constexpr int B = 512; // block bytes of CWave(512, 1, 11025, 8)

class WaveStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetStepped(true);
        // Each recorded block is stamped with its number, counted from 1.
        SimSetInputSignal([](uint8_t* d, uint32_t n, uint64_t at) { std::memset(d, int(at / n + 1), n); });
        SimSetOutputSink([this](const uint8_t* d, uint32_t n) { m_played.insert(m_played.end(), d, d + n); });
        ResetStores(nullptr, 0);
        UseStore(m_recording, nullptr, 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(nullptr);
        UseStore(m_playback, m_savedPlaybackStore, m_savedPlaybackSize);
        UseStore(m_recording, m_savedRecordingStore, m_savedRecordingSize);
    }
    static void UseStore(SharedStore& shared, uint8_t* buffer, int32_t size)
    {
        shared.pBuffer = buffer;
        shared.nSize = size;
        shared.nPos = shared.nBytes = shared.nEnd = shared.bWrapped = 0;
    }
    // The recording store as the session sees it, so that Stop rotates it.
    void UseRecordingStore(std::vector<uint8_t>& store) { UseStore(m_recording, store.data(), int32_t(store.size())); }
    void ResetStores(uint8_t* playbackStore, int32_t size)
    {
        UseStore(m_playback, playbackStore, size);
        m_recording.nPos = m_recording.nBytes = m_recording.nEnd = m_recording.bWrapped = 0;
    }
    bool StartCapture(CWave& w, uint8_t* store, int32_t size)
    {
        UseStore(m_recording, store, size);
        w.SetInputStore(&m_recording);
        return w.OpenInput(0) == kWaveOk && w.StartInput() == kWaveOk;
    }
    bool StartPlayback(CWave& w, uint8_t* source, int32_t size)
    {
        w.SetOutputSource(source, size);
        w.SetPlaybackStore(&m_playback);
        return w.OpenOutput(0) == kWaveOk && w.StartOutput() == 1;
    }
    // Position, bytes held and wrapped flag of the playback store.
    std::tuple<int, int, int> Playback() const { return {m_playback.nPos, m_playback.nBytes, m_playback.bWrapped}; }
    static void ExpectAllHeadersBack(const CWave& wave)
    {
        for (const WaveHeader& h : wave.m_Header)
            EXPECT_EQ(LoadHeaderFlags(h) & (kHeaderPrepared | kHeaderInQueue), 0u);
    }

    std::vector<uint8_t> m_played;
    // The stores a session hands its CWave, so that Stop rotates them.
    SharedStore& m_recording = g_RecordingStore;
    SharedStore& m_playback = g_PlaybackStore;
    uint8_t* const m_savedRecordingStore = g_pInputBuffer;
    const int32_t m_savedRecordingSize = g_nInputBufferSize;
    uint8_t* const m_savedPlaybackStore = g_pOutputBuffer;
    const int32_t m_savedPlaybackSize = g_nOutputBufferSize;
};

TEST_F(WaveStream, TenBlockRecordingStoreFillsPositionsZeroToEightThenWraps)
{
    CWave wave(512, 1, 11025, 8);
    ASSERT_EQ(wave.m_nBlockBytes, B);
    std::vector<uint8_t> store(10 * B, 0);
    ASSERT_TRUE(StartCapture(wave, store.data(), 10 * B));
    for (int k = 0; k < 9; ++k) {
        ASSERT_EQ(SimCompleteBlocks(kSimInput, 1), 1);
        EXPECT_EQ(std::make_tuple(int(g_nInputPos), int(m_recording.nBytes)), std::make_tuple(k * B, (k + 1) * B));
        EXPECT_TRUE(store[k * B] == k + 1 && store[k * B + B - 1] == k + 1) << "block " << k;
    }
    EXPECT_EQ(m_recording.bWrapped, 0);
    EXPECT_EQ(SimQueuedBlocks(kSimInput), 8) << "every block goes straight back to the device";

    ASSERT_EQ(SimCompleteBlocks(kSimInput, 1), 1);
    EXPECT_EQ(std::make_tuple(int(m_recording.bWrapped), int(g_nInputPos), store[0]), std::make_tuple(1, 0, 10));
    EXPECT_EQ(store[B], 2);
    EXPECT_EQ(store[9 * B], 128) << "an 8-bit store starts silent; its last block-long stretch stays unused";

    ASSERT_EQ(SimCompleteBlocks(kSimInput, 5), 5);
    EXPECT_EQ(m_recording.nBytes, 9 * B) << "the sound held: nine blocks, not the stretch no block reached";
    EXPECT_EQ(std::make_tuple(int(g_nInputPos), int(store[5 * B])), std::make_tuple(5 * B, 15));
    EXPECT_EQ(wave.m_nTotalIn, 15 * B);
    EXPECT_EQ(wave.CloseInput(), kWaveOk);
    ExpectAllHeadersBack(wave);
}

// The stream signal of the tests below: its period, 251 bytes (a prime),
// divides no block, so a block repeated from earlier in the stream, or one
// out of place, never matches by chance. No byte is silence (0 or 128).
uint8_t SignalAt(uint64_t offset)
{
    const int v = int(offset % 251) + 1;
    return uint8_t(v < 128 ? v : v + 1);
}
void PrimeSignal(uint8_t* data, uint32_t bytes, uint64_t offset)
{
    for (uint32_t i = 0; i < bytes; ++i) data[i] = SignalAt(offset + i);
}
// The first byte at which data stops being the signal from stream offset first on; n when it never does.
int64_t SignalRun(const uint8_t* data, int64_t n, uint64_t first)
{
    int64_t k = 0;
    while (k < n && data[k] == SignalAt(first + uint64_t(k))) ++k;
    return k;
}

TEST_F(WaveStream, StoppedRecordingHoldsExactlyTheBytesTheDeviceDelivered)
{
    SimSetInputSignal(PrimeSignal);
    constexpr int kFrame = 4, kBlock = 512 * kFrame, kSize = 30 * kBlock; // 16-bit stereo, no wrap
    const struct {
        int blocks, frames;
    } cases[] = {
        // Whole blocks recorded, then frames of the block under way at Stop.
        {0, 0}, {0, 100}, {1, 0}, {3, 257}, {8, 0}, {9, 511}, {20, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.blocks << " blocks and " << c.frames << " frames");
        std::vector<uint8_t> store(kSize, 0);
        ResetStores(nullptr, 0);
        UseRecordingStore(store);
        CWave wave(512, 2, 11025, 16);
        ASSERT_TRUE(StartCapture(wave, store.data(), kSize));
        ASSERT_EQ(SimCompleteBlocks(kSimInput, c.blocks), c.blocks);
        SimCutShortAtReset(kSimInput, uint32_t(c.frames * kFrame));
        EXPECT_EQ(wave.CloseInput(), kWaveOk);
        RotateStoresAtStop(true, false);

        const int delivered = c.blocks * kBlock + c.frames * kFrame;
        EXPECT_EQ(g_nRecordedBytes, delivered);
        EXPECT_EQ(wave.m_nTotalIn, delivered) << "the byte total counts what was delivered";
        EXPECT_EQ(SignalRun(store.data(), kSize, 0), delivered) << "the signal in order, then untouched silence";
        EXPECT_EQ(std::count(store.begin() + delivered, store.end(), 0), kSize - delivered);
    }
}

TEST_F(WaveStream, WrappedRecordingIsTheNewestSoundOldestFirstForEveryBlockAndFrameSize)
{
    SimSetInputSignal(PrimeSignal);
    const struct {
        int channels, bits;
    } formats[] = {{1, 8}, {2, 8}, {1, 16}, {1, 24}, {2, 16}, {2, 24}};
    for (const auto& f : formats) {
        for (int blockFrames : {512, 1024}) {
            const int frame = f.bits / 8 * f.channels, block = blockFrames * frame;
            // A store of whole blocks leaves its last block unused; one with a
            // stretch over leaves that stretch. Either way the lap is L bytes.
            for (int size : {5 * block, UsableStoreSize(5 * block + 1000, f.channels, f.bits)}) {
                const int lap = (size - 1) / block * block;
                // Stopped in the middle of a lap, and with the last whole block at its end.
                for (int blocks : {15, 16}) {
                    SCOPED_TRACE(testing::Message()
                                 << f.channels << " x " << f.bits << " bits, " << blockFrames
                                 << " frames a block, store " << size << ", " << blocks << " blocks");
                    std::vector<uint8_t> store(size_t(size), 0);
                    ResetStores(nullptr, 0);
                    UseRecordingStore(store);
                    CWave wave(blockFrames, f.channels, 11025, f.bits);
                    ASSERT_TRUE(StartCapture(wave, store.data(), size));
                    ASSERT_EQ(SimCompleteBlocks(kSimInput, blocks), blocks);
                    const int part = block / 3 / frame * frame;
                    SimCutShortAtReset(kSimInput, uint32_t(part));
                    wave.CloseInput();
                    RotateStoresAtStop(true, false);

                    const int64_t delivered = int64_t(blocks) * block + part;
                    EXPECT_EQ(wave.m_nTotalIn, delivered);
                    EXPECT_EQ(g_bInputWrapped, 1);
                    EXPECT_EQ(g_nRecordedBytes, lap) << "every byte a block reached, and none other";
                    int bytes = -1;
                    wave.GetStoreStatus(nullptr, &bytes, nullptr, nullptr);
                    EXPECT_EQ(bytes, lap) << "the fill counts the same bytes";
                    EXPECT_EQ(SignalRun(store.data(), lap, uint64_t(delivered - lap)), lap)
                        << "the last " << lap << " bytes delivered, oldest first";
                    EXPECT_EQ(ViewPosAtStop(true, false, 0, block), lap - block) << "the view ends with the sound";
                }
            }
        }
    }
}

TEST_F(WaveStream, PartBlocksAnywhereContinueWithoutAGap)
{
    // Completions as a device layer hands them over: any block may hold part
    // of a block or nothing, and the next one goes on right after it.
    CWave wave(512, 1, 11025, 8);
    const int size = 4 * B + 100;
    std::vector<uint8_t> store(static_cast<size_t>(size));
    UseRecordingStore(store);
    wave.SetInputStore(&g_RecordingStore);
    uint64_t delivered = 0;
    const int lengths[] = {B, 100, 0, B, 1, B - 1, 0, B, B, 300, B, 7, B, B, 0, 250};
    for (int k = 0; k < int(sizeof lengths / sizeof lengths[0]); ++k) {
        WaveHeader& h = wave.m_Header[k % CWave::kBlockCount];
        h.dwUser = uintptr_t(k % CWave::kBlockCount);
        h.dwBytesRecorded = uint32_t(lengths[k]);
        PrimeSignal(wave.m_pBlock[h.dwUser], h.dwBytesRecorded, delivered);
        std::memset(wave.m_pBlock[h.dwUser] + lengths[k], 0xEE, size_t(B - lengths[k])); // not recorded
        wave.OnInputMessage(kWaveInData, &h);
        delivered += uint64_t(lengths[k]);
    }
    EXPECT_EQ(wave.m_nTotalIn, int64_t(delivered));
    ASSERT_EQ(g_bInputWrapped, 1);
    RotateStoresAtStop(true, false);
    const int held = g_nRecordedBytes;
    EXPECT_GT(held, size - 2 * B) << "a lap ends less than a block from the end";
    EXPECT_EQ(SignalRun(store.data(), held, delivered - uint64_t(held)), held);
}

TEST_F(WaveStream, PlaybackStoreAndTotalHoldOnlyWhatWasPlayed)
{
    std::vector<uint8_t> source(3 * B + 77);
    PrimeSignal(source.data(), uint32_t(source.size()), 0);
    const struct {
        int blocks, cutShort;
    } cases[] = {{0, 0}, {0, 100}, {2, 0}, {5, 511}, {12, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.blocks << " blocks and " << c.cutShort << " bytes");
        m_played.clear();
        std::vector<uint8_t> store(20 * B, 128);
        ResetStores(store.data(), 20 * B);
        CWave wave(512, 1, 11025, 8);
        ASSERT_TRUE(StartPlayback(wave, source.data(), int32_t(source.size())));
        ASSERT_EQ(SimCompleteBlocks(kSimOutput, c.blocks), c.blocks);
        SimCutShortAtReset(kSimOutput, uint32_t(c.cutShort));
        EXPECT_EQ(wave.CloseOutput(), kWaveOk);
        const int played = c.blocks * B + c.cutShort;
        ASSERT_EQ(m_played.size(), size_t(played));
        EXPECT_EQ(wave.m_nTotalOut, played) << "the blocks handed back unplayed do not count";
        EXPECT_EQ(Playback(), std::make_tuple(played, played, 0));
        EXPECT_TRUE(std::equal(m_played.begin(), m_played.end(), store.begin()));
        EXPECT_EQ(std::count(store.begin() + played, store.end(), 128), 20 * B - played);
    }
}

TEST_F(WaveStream, AbsentOrTooSmallStoresAndSourceAreNeverTouched)
{
    std::vector<uint8_t> small(B - 1); // exactly sized: the address sanitizer sees a write past it
    for (uint8_t* store : {static_cast<uint8_t*>(nullptr), small.data()}) {
        CWave in(512, 1, 11025, 8);
        ASSERT_TRUE(StartCapture(in, store, store ? B - 1 : 0));
        ASSERT_EQ(SimCompleteBlocks(kSimInput, 3), 3);
        EXPECT_EQ(in.m_nTotalIn, 3 * B) << "blocks count without a store";
        EXPECT_EQ(m_recording.nBytes, 0);
        EXPECT_EQ(in.GetStoreStatus(nullptr, nullptr, nullptr, nullptr), 0);
        in.CloseInput();
    }
    EXPECT_EQ(small, std::vector<uint8_t>(B - 1, 128));

    CWave out(512, 1, 11025, 8);
    ASSERT_TRUE(StartPlayback(out, nullptr, 0));
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 4), 4);
    EXPECT_EQ(m_played, std::vector<uint8_t>(4 * B, 128)) << "no source plays silence";
    EXPECT_EQ(out.m_nTotalOut, 4 * B) << "played blocks count without a playback store";
    EXPECT_EQ(Playback(), std::make_tuple(0, 0, 0));
    out.CloseOutput();
}

TEST_F(WaveStream, OpenFailuresLeaveNoDeviceBehind)
{
    CWave wave(512, 1, 11025, 8);
    EXPECT_EQ(wave.OpenInput(7), kWaveErrBadDeviceId);
    SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible&) { return false; });
    EXPECT_EQ(wave.OpenInput(0), 32u) << "a refused format";
    EXPECT_EQ(wave.OpenOutput(0), 32u);
    SimSetFormatRule(nullptr);
    SimSetOpenFailure(kSimInput, kWaveErrAllocated);
    EXPECT_EQ(wave.OpenInput(0), kWaveErrAllocated);
    SimSetOpenFailure(kSimInput, 0);
    SimDropAfter(kSimInput, 0);
    EXPECT_EQ(wave.OpenInput(0), kWaveErrNoDriver) << "a device that takes no block is closed again";
    EXPECT_EQ(SimOpenDeviceCount(), 0);
}

TEST_F(WaveStream, StoreStatusReportsFillAndWrap)
{
    const struct {
        int channels, rate, bits, storeSize, blocks, percent, bytes, position;
        float seconds;
    } cases[] = {
        {1, 11025, 8, 1000, 1, 25, 250, 250, 250.0f / 11025},  // 250-byte blocks: one is 25 %
        {1, 11025, 8, 1000, 4, 100, 750, 250, 750.0f / 11025}, // the 4th would reach the end: wrapped
        {2, 8000, 16, 4000, 1, 25, 1000, 1000, 0.03125f},      // bytes / channels / 2 / rate
    };
    for (const auto& c : cases) {
        CWave wave(250, c.channels, c.rate, c.bits);
        std::vector<uint8_t> store(c.storeSize);
        ASSERT_TRUE(StartCapture(wave, store.data(), c.storeSize));
        ASSERT_EQ(SimCompleteBlocks(kSimInput, c.blocks), c.blocks);
        int percent = -1, bytes = -1, position = -1;
        float seconds = -1;
        EXPECT_EQ(wave.GetStoreStatus(&percent, &bytes, &seconds, &position), c.percent);
        EXPECT_EQ(std::make_tuple(percent, bytes, position), std::make_tuple(c.percent, c.bytes, c.position));
        EXPECT_FLOAT_EQ(seconds, c.seconds);
        wave.CloseInput();
    }
}

TEST_F(WaveStream, LoopedSourcePlaysWithoutAGapIntoTheWrappingPlaybackStore)
{
    // Source and store exactly sized, so the address sanitizer sees an access past either.
    const struct {
        int source, store, total;
    } cases[] = {
        {B + B / 2, 20 * B, 3000 * B}, // 3000 blocks wrap the store exactly
        // Shorter than one block; the store keeps the part of every third
        // block that fits, but the half it drops was played all the same.
        {100, 2 * B + B / 2, 3000 * B},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        m_played.clear();
        std::vector<uint8_t> source(c.source), store(c.store);
        for (size_t i = 0; i < source.size(); ++i) source[i] = uint8_t(i * 37 % 251 + 1);
        UseStore(m_playback, store.data(), c.store);
        CWave wave(512, 1, 11025, 8);
        ASSERT_TRUE(StartPlayback(wave, source.data(), c.source));
        ASSERT_EQ(SimCompleteBlocks(kSimOutput, 3000), 3000);
        ASSERT_EQ(m_played.size(), 3000u * B);
        size_t k = 0; // the first played byte that is not the looped source's
        while (k < m_played.size() && m_played[k] == source[k % source.size()]) ++k;
        EXPECT_EQ(k, m_played.size()) << "a gap in the loop";
        EXPECT_EQ(wave.m_bStoreWrapped, 1);
        EXPECT_EQ(wave.m_nTotalOut, c.total);
        EXPECT_EQ(SimQueuedBlocks(kSimOutput), 8) << "every played block is queued again";
        EXPECT_EQ(Playback(), std::make_tuple(0, c.store, 1));
        EXPECT_TRUE(std::equal(store.begin(), store.end(), m_played.end() - (c.store + B - 1) / B * B))
            << "the store holds the last blocks played, the last one cut where the store ends";
        EXPECT_EQ(wave.CloseOutput(), kWaveOk);
    }
}

TEST_F(WaveStream, ClosingWhileBlocksAreInFlightLeavesNothingBehind)
{
    SimSetStepped(false);
    static uint64_t recorded; // by the input device's thread, read after its close
    recorded = 0;
    SimSetInputSignal([](uint8_t* d, uint32_t n, uint64_t at) {
        PrimeSignal(d, n, at);
        recorded += n;
    });
    // The playback store is not cleared between rounds: the part blocks of
    // the resets leave its position between blocks, so a later block
    // straddles its end.
    std::vector<uint8_t> recording(1 << 16), playbackStore(1 << 16), source(10000, 7);
    UseStore(m_playback, playbackStore.data(), 1 << 16);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        recorded = 0;
        m_played.clear();
        // A capture and a playback at once, sharing the close mutex; 23 ms blocks.
        CWave in(1024, 2, 44100, 16), out(1024, 2, 44100, 16);
        ASSERT_TRUE(StartCapture(in, recording.data(), 1 << 16));
        ASSERT_TRUE(StartPlayback(out, source.data(), 10000));
        const int wait = round % 3; // 0: close before any block has finished
        ASSERT_EQ(SimCompleteBlocks(kSimInput, wait), wait);
        ASSERT_EQ(SimCompleteBlocks(kSimOutput, wait), wait);
        if (round % 2) { // alternate which device closes first
            EXPECT_EQ(out.CloseOutput(), kWaveOk);
        }
        EXPECT_EQ(in.CloseInput(), kWaveOk);
        EXPECT_EQ(out.CloseOutput(), kWaveOk);
        EXPECT_EQ(SimOpenDeviceCount(), 0);
        ExpectAllHeadersBack(in);
        ExpectAllHeadersBack(out);
        // Whatever the timing, the totals are what the devices delivered,
        // the part of the block under way at the reset included.
        EXPECT_EQ(in.m_nTotalIn, int64_t(recorded));
        EXPECT_EQ(out.m_nTotalOut, int64_t(m_played.size()));
        EXPECT_GE(in.m_nTotalIn, int64_t(wait) * in.m_nBlockBytes);
        EXPECT_GE(out.m_nTotalOut, int64_t(wait) * out.m_nBlockBytes);
    }
}

// The simulator, except that a completion preparing its block again (having
// found the object open) waits until a close has reset the device: the block
// must then not be queued, or it would outlive the close.
std::atomic<bool> g_armed{false};
std::promise<void> g_refilling, g_reset;
std::shared_future<void> g_resetDone;

TEST_F(WaveStream, BlockRefilledDuringCloseIsNotQueuedAgain)
{
    g_refilling = {};
    g_reset = {};
    g_resetDone = g_reset.get_future().share();
    static WaveDeviceTable table = *SimWaveDeviceTable();
    table.outPrepareHeader = [](WaveHandle device, WaveHeader* header) {
        const uint32_t result = SimWaveDeviceTable()->outPrepareHeader(device, header);
        if (g_armed.exchange(false)) {
            g_refilling.set_value();
            g_resetDone.wait();
        }
        return result;
    };
    table.outReset = [](WaveHandle device) {
        const uint32_t result = SimWaveDeviceTable()->outReset(device);
        g_reset.set_value();
        return result;
    };
    SetWaveDeviceTable(&table);

    std::vector<uint8_t> source(4096, 1);
    CWave out(512, 1, 11025, 8);
    ASSERT_TRUE(StartPlayback(out, source.data(), 4096));
    std::future<void> refilling = g_refilling.get_future();
    g_armed = true;
    std::thread completer([] { SimCompleteBlocks(kSimOutput, 1); });
    refilling.wait();
    EXPECT_EQ(out.CloseOutput(), kWaveOk);
    completer.join();
    EXPECT_EQ(SimOpenDeviceCount(), 0);
    ExpectAllHeadersBack(out);
}

// The simulator, except that queueing an armed block waits a while for a
// close on another thread to reset the device meanwhile. The close mutex must
// keep the close out until the block is queued: a block queued after the
// reset would outlive the close.
std::atomic<bool> g_writeArmed{false};
std::atomic<bool> g_resetDuringWrite{false};
std::promise<void> g_writing;
std::mutex g_resetLock;
std::condition_variable g_resetChanged;
bool g_closeReset = false;

TEST_F(WaveStream, BlockWrittenWhileTheDeviceIsClosedOnAnotherThreadIsQueuedBeforeTheReset)
{
    g_writing = {};
    g_closeReset = false;
    g_resetDuringWrite = false;
    static WaveDeviceTable table = *SimWaveDeviceTable();
    table.outWrite = [](WaveHandle device, WaveHeader* header) {
        if (g_writeArmed.exchange(false)) {
            g_writing.set_value();
            std::unique_lock<std::mutex> lock(g_resetLock);
            g_resetDuringWrite =
                g_resetChanged.wait_for(lock, std::chrono::milliseconds(200), [] { return g_closeReset; });
        }
        return SimWaveDeviceTable()->outWrite(device, header);
    };
    table.outReset = [](WaveHandle device) {
        {
            std::lock_guard<std::mutex> lock(g_resetLock);
            g_closeReset = true;
        }
        g_resetChanged.notify_all();
        return SimWaveDeviceTable()->outReset(device);
    };
    SetWaveDeviceTable(&table);

    std::vector<uint8_t> source(4096, 1);
    CWave out(512, 1, 11025, 8);
    ASSERT_TRUE(StartPlayback(out, source.data(), 4096));
    g_writeArmed = true;
    std::thread completer([] { SimCompleteBlocks(kSimOutput, 1); }); // its block is written again
    g_writing.get_future().wait();
    EXPECT_EQ(out.CloseOutput(), kWaveOk);
    completer.join();
    EXPECT_FALSE(g_resetDuringWrite) << "the device was reset while a block was being queued";
    EXPECT_EQ(SimOpenDeviceCount(), 0);
    ExpectAllHeadersBack(out);
}

} // namespace

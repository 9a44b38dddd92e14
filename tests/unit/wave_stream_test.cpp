// CWave on the simulated device, stepped unless a test says otherwise: the
// streaming, and the format records, queries and capabilities it asks for.
#include "audio/wave.h"
#include "platform/sim_wave_device.h"
#include "platform/sync.h"
#include "state/app_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr int B = 512; // block bytes of CWave(512, 1, 11025, 8)

// The recorded signal: its period, 251 bytes (a prime), divides no block, so a
// block repeated or out of place never matches by chance. No byte is silence.
uint8_t SignalAt(uint64_t offset)
{
    const int v = int(offset % 251) + 1;
    return uint8_t(v < 128 ? v : v + 1);
}
void PrimeSignal(uint8_t* data, uint32_t bytes, uint64_t offset)
{
    for (uint32_t i = 0; i < bytes; ++i) data[i] = SignalAt(offset + i);
}
// How many bytes of data, from its start, are the signal from stream offset first on.
int64_t SignalRun(const uint8_t* data, int64_t n, uint64_t first)
{
    int64_t k = 0;
    while (k < n && data[k] == SignalAt(first + uint64_t(k))) ++k;
    return k;
}

class WaveStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetStepped(true);
        SimSetInputSignal(PrimeSignal);
        SimSetOutputSink([this](const uint8_t* d, uint32_t n) { m_played.insert(m_played.end(), d, d + n); });
    }
    void TearDown() override
    {
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(nullptr);
        Use(g_RecordingStore, m_saved[0], m_savedSize[0]);
        Use(g_PlaybackStore, m_saved[1], m_savedSize[1]);
    }
    // The stores a session hands its CWave, so that Stop rotates them.
    static void Use(SharedStore& shared, uint8_t* buffer, int32_t size)
    {
        shared.pBuffer = buffer;
        shared.nSize = size;
        shared.nPos = shared.nBytes = shared.nEnd = shared.bWrapped = 0;
    }
    static bool StartCapture(CWave& w, uint8_t* store, int32_t size)
    {
        Use(g_RecordingStore, store, size);
        w.SetInputStore(&g_RecordingStore);
        return w.OpenInput(0) == kWaveOk && w.StartInput() == kWaveOk;
    }
    static bool StartPlayback(CWave& w, uint8_t* source, int32_t size)
    {
        w.SetOutputSource(source, size);
        w.SetPlaybackStore(&g_PlaybackStore);
        return w.OpenOutput(0) == kWaveOk && w.StartOutput() == 1;
    }
    // Position, bytes held and wrapped flag of the playback store.
    static std::tuple<int, int, int> Playback() { return {g_nOutputPos, g_nOutputBytes, g_bOutputWrapped}; }
    static void ExpectAllHeadersBack(const CWave& wave)
    {
        for (const WaveHeader& h : wave.m_Header)
            EXPECT_EQ(LoadHeaderFlags(h) & (kHeaderPrepared | kHeaderInQueue), 0u);
    }

    std::vector<uint8_t> m_played;
    uint8_t* const m_saved[2] = {g_pInputBuffer, g_pOutputBuffer};
    const int32_t m_savedSize[2] = {g_nInputBufferSize, g_nOutputBufferSize};
};

// Whole blocks, then the frames of the block under way at Stop. A store of
// whole blocks leaves its last block unused, one with a stretch over leaves
// that stretch: either way a lap is (size - 1) / block whole blocks.
TEST_F(WaveStream, StoppedRecordingHoldsTheNewestDeliveredBytesOldestFirst)
{
    const std::pair<int, int> formats[] = {{1, 8}, {2, 8}, {1, 16}, {1, 24}, {2, 16}, {2, 24}}; // channels, bits
    for (const auto& [channels, bits] : formats)
        for (int blockFrames : {512, 1024}) {
            const int frame = bits / 8 * channels, block = blockFrames * frame;
            for (int size : {5 * block, UsableStoreSize(5 * block + 1000, channels, bits)})
                for (int blocks : {0, 3, 15, 16})
                    for (int part : {0, frame, block / 3 / frame * frame, block - frame}) {
                        SCOPED_TRACE(testing::Message() << channels << " x " << bits << " bits, " << blockFrames
                                                        << " frames a block, store " << size << ", " << blocks
                                                        << " blocks and " << part << " bytes");
                        const int lap = (size - 1) / block * block;
                        std::vector<uint8_t> store(size_t(size), 0); // exactly sized for the address sanitizer
                        CWave wave(blockFrames, channels, 11025, bits);
                        ASSERT_TRUE(StartCapture(wave, store.data(), size));
                        ASSERT_EQ(SimCompleteBlocks(kSimInput, blocks), blocks);
                        EXPECT_EQ(g_nInputPos, blocks ? (blocks - 1) % (lap / block) * block : 0) << "the newest block";
                        EXPECT_EQ(SimQueuedBlocks(kSimInput), 8) << "every block goes straight back to the device";
                        SimCutShortAtReset(kSimInput, uint32_t(part));
                        EXPECT_EQ(wave.CloseInput(), kWaveOk);
                        ExpectAllHeadersBack(wave);
                        RotateStoresAtStop(true, false);

                        const int64_t delivered = int64_t(blocks) * block + part;
                        const bool wrapped = blocks + (part > 0) > lap / block;
                        const int held = wrapped ? lap : int(delivered);
                        EXPECT_EQ(wave.m_nTotalIn, delivered) << "the byte total counts what was delivered";
                        EXPECT_EQ(g_bInputWrapped, int(wrapped));
                        EXPECT_EQ(g_nRecordedBytes, held) << "every byte a block reached, and none other";
                        int percent = -1, bytes = -1;
                        float seconds = -1;
                        wave.GetStoreStatus(&percent, &bytes, &seconds, nullptr);
                        EXPECT_EQ(std::make_tuple(percent, bytes),
                                  std::make_tuple(wrapped ? 100 : held * 100 / size, held))
                            << "the fill counts the same bytes";
                        EXPECT_FLOAT_EQ(seconds, float(held) / float(frame) / 11025.0f);
                        EXPECT_EQ(SignalRun(store.data(), held, uint64_t(delivered - held)), held)
                            << "the newest bytes delivered, oldest first";
                        EXPECT_EQ(std::count(store.begin() + held, store.end(), bits == 8 ? 128 : 0), size - held)
                            << "then untouched silence";
                        EXPECT_EQ(ViewPosAtStop(true, false, 0, block), held - block) << "the view ends with the sound";
                    }
        }
}

TEST_F(WaveStream, PartBlocksAnywhereContinueWithoutAGap)
{
    // Completions as a device layer hands them over: any block may hold part
    // of a block or nothing, and the next one goes on right after it.
    CWave wave(512, 1, 11025, 8);
    std::vector<uint8_t> store(4 * B + 100);
    Use(g_RecordingStore, store.data(), int32_t(store.size()));
    wave.SetInputStore(&g_RecordingStore);
    uint64_t delivered = 0;
    int k = 0;
    for (int length : {B, 100, 0, B, 1, B - 1, 0, B, B, 300, B, 7, B, B, 0, 250}) {
        WaveHeader& h = wave.m_Header[k % CWave::kBlockCount];
        h.dwUser = uintptr_t(k++ % CWave::kBlockCount);
        h.dwBytesRecorded = uint32_t(length);
        PrimeSignal(wave.m_pBlock[h.dwUser], h.dwBytesRecorded, delivered);
        std::fill(wave.m_pBlock[h.dwUser] + length, wave.m_pBlock[h.dwUser] + B, 0xEE); // not recorded
        wave.OnInputMessage(kWaveInData, &h);
        delivered += uint64_t(length);
    }
    EXPECT_EQ(wave.m_nTotalIn, int64_t(delivered));
    ASSERT_EQ(g_bInputWrapped, 1);
    RotateStoresAtStop(true, false);
    const int held = g_nRecordedBytes;
    EXPECT_GT(held, int(store.size()) - 2 * B) << "a lap ends less than a block from the end";
    EXPECT_EQ(SignalRun(store.data(), held, delivered - uint64_t(held)), held);
}

// Source and store exactly sized, so the address sanitizer sees an access past either.
TEST_F(WaveStream, PlaybackPlaysTheLoopedSourceWithoutAGapAndStoresOnlyWhatWasPlayed)
{
    const struct {
        int source, store, blocks, cutShort, pos, bytes, wrapped;
    } cases[] = {
        {B + B / 2, 20 * B, 0, 0, 0, 0, 0},
        {B + B / 2, 20 * B, 0, 100, 100, 100, 0},
        {B + B / 2, 20 * B, 5, 511, 5 * B + 511, 5 * B + 511, 0},
        {B + B / 2, 20 * B, 12, 1, 12 * B + 1, 12 * B + 1, 0},
        {B + B / 2, 20 * B, 3000, 0, 0, 20 * B, 1}, // 3000 blocks wrap the store exactly
        // Shorter than one block; the store keeps the part of every third
        // block that fits, but the half it drops was played all the same.
        {100, 2 * B + B / 2, 3000, 0, 0, 2 * B + B / 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source << " source, " << c.blocks << " blocks, " << c.cutShort);
        m_played.clear();
        std::vector<uint8_t> source(c.source), store(c.store, 128);
        PrimeSignal(source.data(), uint32_t(c.source), 0);
        Use(g_PlaybackStore, store.data(), c.store);
        CWave wave(512, 1, 11025, 8);
        ASSERT_TRUE(StartPlayback(wave, source.data(), c.source));
        ASSERT_EQ(SimCompleteBlocks(kSimOutput, c.blocks), c.blocks);
        EXPECT_EQ(SimQueuedBlocks(kSimOutput), 8) << "every played block is queued again";
        SimCutShortAtReset(kSimOutput, uint32_t(c.cutShort));
        EXPECT_EQ(wave.CloseOutput(), kWaveOk);
        ExpectAllHeadersBack(wave);

        const size_t played = size_t(c.blocks) * B + size_t(c.cutShort);
        ASSERT_EQ(m_played.size(), played);
        size_t k = 0; // the first played byte that is not the looped source's
        while (k < played && m_played[k] == source[k % source.size()]) ++k;
        EXPECT_EQ(k, played) << "a gap in the loop";
        EXPECT_EQ(wave.m_nTotalOut, int64_t(played)) << "the blocks handed back unplayed do not count";
        EXPECT_EQ(Playback(), std::make_tuple(c.pos, c.bytes, c.wrapped));
        if (c.wrapped) {
            EXPECT_EQ(wave.m_bStoreWrapped, 1);
            EXPECT_TRUE(std::equal(store.begin(), store.end(), m_played.end() - (c.store + B - 1) / B * B))
                << "the last blocks played, the last one cut where the store ends";
        } else {
            EXPECT_TRUE(std::equal(m_played.begin(), m_played.end(), store.begin()));
            EXPECT_EQ(std::count(store.begin() + c.bytes, store.end(), 128), c.store - c.bytes);
        }
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
        EXPECT_EQ(g_nRecordedBytes, 0);
        EXPECT_EQ(in.GetStoreStatus(nullptr, nullptr, nullptr, nullptr), 0);
        in.CloseInput();
    }
    EXPECT_EQ(small, std::vector<uint8_t>(B - 1, 128));

    Use(g_PlaybackStore, nullptr, 0);
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
    // A refused format and a failed open: the sessions' tests under Wine.
    EXPECT_EQ(wave.OpenInput(7), kWaveErrBadDeviceId);
    SimDropAfter(kSimInput, 0);
    EXPECT_EQ(wave.OpenInput(0), kWaveErrNoDriver) << "a device that takes no block is closed again";
    EXPECT_EQ(SimOpenDeviceCount(), 0);
}

TEST_F(WaveStream, ClosingWhileBlocksAreInFlightLeavesNothingBehind)
{
    SimSetStepped(false);
    static std::atomic<uint64_t> recorded; // by the input device's thread
    SimSetInputSignal([](uint8_t* d, uint32_t n, uint64_t at) {
        PrimeSignal(d, n, at);
        recorded += n;
    });
    // The playback store is not cleared between rounds: the part blocks of
    // the resets leave its position between blocks, so a later block
    // straddles its end.
    std::vector<uint8_t> recording(1 << 16), playbackStore(1 << 16), source(10000, 7);
    Use(g_PlaybackStore, playbackStore.data(), 1 << 16);
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

// A completion queues its block again while the test closes the device on
// another thread, held at one step: prepared again (having found the object
// open) until the reset is done, or being written for a while. A block queued
// after the reset would outlive the close; the close mutex keeps it out.
std::atomic<int> g_hold{0};                             // 1: held after the prepare, 2: held in the write
SyncEvent *g_completing, *g_resetStarted, *g_resetDone; // manual reset
bool g_resetDuringWrite = false;
bool Holds(int step) { return g_hold.compare_exchange_strong(step, 0); }

TEST_F(WaveStream, BlockQueuedAgainDuringACloseIsNeverQueuedAfterItsReset)
{
    static WaveDeviceTable table = *SimWaveDeviceTable();
    table.outReset = [](WaveHandle device) {
        SyncSetEvent(g_resetStarted);
        const uint32_t result = SimWaveDeviceTable()->outReset(device);
        SyncSetEvent(g_resetDone);
        return result;
    };
    table.outPrepareHeader = [](WaveHandle device, WaveHeader* header) {
        const uint32_t result = SimWaveDeviceTable()->outPrepareHeader(device, header);
        if (Holds(1)) SyncSetEvent(g_completing), SyncWaitEvent(g_resetDone, kSyncInfinite);
        return result;
    };
    table.outWrite = [](WaveHandle device, WaveHeader* header) {
        if (Holds(2)) SyncSetEvent(g_completing), g_resetDuringWrite = SyncWaitEvent(g_resetStarted, 200);
        return SimWaveDeviceTable()->outWrite(device, header);
    };
    SetWaveDeviceTable(&table);
    for (int step : {1, 2}) {
        SCOPED_TRACE(step);
        g_completing = SyncCreateEvent(true, false), g_resetStarted = SyncCreateEvent(true, false);
        g_resetDone = SyncCreateEvent(true, false), g_resetDuringWrite = false;
        std::vector<uint8_t> source(4096, 1);
        CWave out(512, 1, 11025, 8);
        ASSERT_TRUE(StartPlayback(out, source.data(), 4096));
        g_hold = step;
        std::thread completer([] { SimCompleteBlocks(kSimOutput, 1); });
        SyncWaitEvent(g_completing, kSyncInfinite);
        EXPECT_EQ(out.CloseOutput(), kWaveOk);
        completer.join();
        EXPECT_FALSE(g_resetDuringWrite) << "the device was reset while a block was being queued";
        EXPECT_EQ(SimOpenDeviceCount(), 0);
        ExpectAllHeadersBack(out);
        for (SyncEvent* e : {g_completing, g_resetStarted, g_resetDone}) SyncCloseEvent(e);
    }
}

struct WaveFormat : WaveStream {};

// Tag, channels, rate, bits, block align, bytes a second, extra bytes, valid bits, mask, PCM subformat.
using Record = std::tuple<int, int, int, int, int, int, int, int, uint32_t, bool>;
Record Fields(const WaveFormatExtensible& f)
{
    const WaveFormatEx& x = f.Format;
    return std::make_tuple(int(x.wFormatTag), int(x.nChannels), int(x.nSamplesPerSec), int(x.wBitsPerSample),
                           int(x.nBlockAlign), int(x.nAvgBytesPerSec), int(x.cbSize), int(f.wValidBitsPerSample),
                           f.dwChannelMask, SameGuid(f.SubFormat, kPcmSubFormat));
}
// validBits 0 for plain PCM. Block align and byte rate come from the bits asked for, not the container.
Record Expected(int channels, int rate, int bits, int validBits, uint32_t mask)
{
    const int sample = validBits ? validBits : bits, extensible = validBits != 0;
    return std::make_tuple(extensible ? kWaveFormatExtensible : kWaveFormatPcm, channels, rate, bits,
                           channels * sample / 8, channels * rate * sample / 8, extensible * 22, validBits, mask,
                           validBits != 0);
}

TEST_F(WaveFormat, ConstructorCorrectionsReachTheDevice)
{
    const struct {
        int blockSamples, channels, rate, bits, openChannels, openRate, openBits, blockBytes, mask;
    } cases[] = {
        {512, 1, 5000, 8, 1, 11025, 8, 512, 0},      {512, 3, 44100, 16, 1, 44100, 16, 1024, 0},
        {512, 1, 44100, 32, 1, 44100, 8, 512, 0},    {512, 2, 200000, 16, 2, 11025, 16, 2048, 0},
        {1024, 2, 48000, 24, 2, 48000, 24, 6144, 3}, // 24 bits are extensible: front left and right
        {1024, 1, 96000, 24, 1, 96000, 24, 3072, 4}, // front centre
    };
    for (const auto& c : cases) {
        CWave wave(c.blockSamples, c.channels, c.rate, c.bits);
        EXPECT_EQ(wave.m_nBlockBytes, c.blockBytes);
        ASSERT_EQ(wave.OpenOutput(0), kWaveOk);
        EXPECT_EQ(Fields(SimOpenLog().back().format),
                  Expected(c.openChannels, c.openRate, c.openBits, c.mask ? c.openBits : 0, uint32_t(c.mask)));
    }
}

// The driver itself is asked (direct, query only): PCM, then, if refused, extensible in a whole-byte container.
TEST_F(WaveFormat, QueryAsksForPcmThenExtensibleAndOpensNothing)
{
    CWave wave(512, 1, 11025, 8);
    EXPECT_EQ(wave.QueryFormat(0, 2, 44100, 2, 16, 3), 1u) << "neither input (0) nor output (1)";
    EXPECT_EQ(wave.QueryFormat(0, -1, 44100, 2, 16, 3), 1u);
    EXPECT_EQ(wave.QueryFormat(0, 0, 44100, 2, 16, 3), 0u);
    ASSERT_EQ(SimOpenLog().size(), 1u) << "only an accepted PCM record was asked about";
    EXPECT_EQ(SimOpenLog()[0].direction, kSimInput);

    SimSetOutputDevices({WaveOutCaps{}, WaveOutCaps{}});
    SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible& f) {
        return f.Format.wFormatTag == kWaveFormatExtensible;
    });
    const std::pair<int, int> sizes[] = {{12, 16}, {18, 24}, {20, 24}, {24, 24}, {28, 32}, {40, 40}};
    for (const auto& [bits, container] : sizes) {
        const size_t first = SimOpenLog().size();
        EXPECT_EQ(wave.QueryFormat(1, 1, 96000, 6, bits, 0x3F), 0u);
        const auto log = SimOpenLog();
        ASSERT_EQ(log.size(), first + 2);
        EXPECT_EQ(std::make_tuple(Fields(log[first].format), Fields(log[first + 1].format), log[first].direction,
                                  log[first + 1].deviceId, log[first + 1].flags),
                  std::make_tuple(Expected(6, 96000, bits, 0, 0), Expected(6, 96000, container, bits, 0x3F), kSimOutput,
                                  1u, kWaveOpenQuery | kWaveOpenDirect))
            << bits << " bits";
    }
    SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible&) { return false; });
    EXPECT_EQ(wave.QueryFormat(0, 0, 44100, 1, 24, 0), kWaveErrBadFormat);
    EXPECT_EQ(SimOpenDeviceCount(), 0);
}

TEST_F(WaveFormat, CapabilityRecordsComeFromTheDeviceOrAreEmpty)
{
    SimSetInputDevices({});
    CWave wave(512, 1, 11025, 8);
    WaveOutCaps out;
    WaveInCaps in = {1, 2, 3, "stale", 4, 5, 6};
    wave.GetOutputCaps(0, &out);
    wave.GetInputCaps(0, &in);
    EXPECT_STREQ(out.szPname, "Sim Output");
    EXPECT_TRUE(in.szPname[0] == '\0' && in.dwFormats == 0) << "a device that cannot be asked gives an empty record";
}

} // namespace

// The transfer statistics over CWave on the stepped simulated device, with a
// counter the test moves: the field formats and rounding, the first sample
// of a session, the 5000 Hz choice and the lost-output-device rule.
#include "audio/transfer_statistics.h"
#include "audio/wave.h"
#include "platform/sim_wave_device.h"
#include "state/session_state.h"
#include "state/stores.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

int64_t s_now = 0;
int64_t FakeCounter() { return s_now; }

TEST(TransferStatisticsText, FormatsAndRounding)
{
    const std::tuple<int32_t, int32_t, const char*> averages[] = {
        {11025, 11025, "11025 (+0.00%)"},    {0, 176400, "0 (-100.00%)"},
        {11025, 5000, "11025 (+120.50%)"},   {88200, 176400, "88200 (-50.00%)"},
        {176577, 176400, "176577 (+0.10%)"}, {176399, 176400, "176399 (-0.00%)"}, // a byte short: no deviation
    };
    for (const auto& [rate, requested, text] : averages) EXPECT_EQ(AverageText(rate, requested), text);
    const std::tuple<int, int32_t, float, const char*> fills[] = {{0, 0, 0.0f, "0% 0.0MB 0.0Sec"},
                                                                  {100, 2097152, 11.89f, "100% 2.0MB 11.9Sec"},
                                                                  {34, 11264, 1.0217f, "34% 0.0MB 1.0Sec"},
                                                                  {62, 1363148, 7.72f, "62% 1.3MB 7.7Sec"}};
    for (const auto& [percent, bytes, seconds, text] : fills) EXPECT_EQ(FillText(percent, bytes, seconds), text);
    const std::tuple<int64_t, int64_t, int64_t, int32_t> rates[] = {
        {1000, 3, 1, 333},                       // truncated toward zero
        {47 * 512, 47 * 512, 11025, 11025},      // exactly nominal stays exact
        {5000, 0, 1000, 0},                      // no time has passed
        {-512, 1000, 1000, 0},                   // never a negative rate
        {int64_t(1) << 40, 1, 1000, 2147483647}, // capped, not wrapped
    };
    for (const auto& [bytes, ticks, frequency, rate] : rates)
        EXPECT_EQ(ByteRate(bytes, ticks, frequency), rate) << bytes;
}

class TransferStatistics : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetStepped(true);
        ResetTransferStatistics();
        m_store.pBuffer = m_bytes.data();
        m_store.nSize = int32_t(m_bytes.size());
        m_store.nBytes = m_store.nPos = m_store.bWrapped = 0;
    }
    void TearDown() override
    {
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(nullptr);
    }
    // The counter is at now, the byte totals are the store's.
    TransferTexts Update(int64_t now)
    {
        s_now = now;
        (m_sources.input ? m_sources.recordedBytes : m_sources.outputBytes) = m_store.nBytes;
        m_sources.outputBufferSize = m_store.nSize;
        return UpdateTransferStatistics(m_sources, FakeCounter);
    }

    TransferSources m_sources;
    std::vector<uint8_t> m_bytes = std::vector<uint8_t>(128 * 512);
    SharedStore m_store;
};

// The counter counts bytes at the nominal rate: a capture that delivers at
// that rate shows it exactly, whichever block a tick falls on.
TEST_F(TransferStatistics, CaptureAtTheNominalRateAndTheChoiceOf5000Hz)
{
    const struct {
        int32_t requestedRate;
        const char* average;
    } cases[] = {{11025, "11025 (+0.00%)"}, {5000, "11025 (+120.50%)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.requestedRate);
        SetUp();
        CWave wave(512, 1, c.requestedRate, 8);
        ASSERT_EQ(wave.m_nSampleRate, 11025) << "5000 Hz runs the device at 11025 Hz";
        wave.SetInputStore(&m_store);
        ASSERT_TRUE(wave.OpenInput(0) == kWaveOk && wave.StartInput() == kWaveOk);
        g_InSamples = {500, 1000000, 400, 900000}; // left over from an earlier session with a larger total
        m_sources = {&wave, nullptr, 1000, 0, 11025, c.requestedRate};

        int blocks = 0;
        for (int n : {47, 11, 10, 11}) {
            ASSERT_EQ(SimCompleteBlocks(kSimInput, n), n);
            blocks += n;
            const TransferTexts t = Update(m_sources.captureStart + blocks * 512);
            EXPECT_EQ(std::make_tuple(t.averageIn, t.actualIn), std::make_tuple(c.average, "11025")) << blocks;
        }
        // Stop's update right after a tick, nothing new: the window goes back
        // to the tick before, 11 blocks in 5632 + 5 ticks. No playback; the Out
        // field keeps its text.
        const TransferTexts t = Update(s_now + 5);
        EXPECT_EQ(std::make_tuple(t.actualIn, t.fillIn, t.averageOut, t.actualOut, t.fillOut, t.outputLost),
                  std::make_tuple("11015", "61% 0.0MB 3.7Sec", "0 (-100.00%)", "0", "", false));
        // Wrapped: 100 %, and the megabytes and seconds of the whole store.
        ASSERT_EQ(SimCompleteBlocks(kSimInput, 60), 60);
        EXPECT_EQ(Update(s_now + 60 * 512).fillIn, "100% 0.1MB 5.9Sec");
        wave.CloseInput();
    }
}

// Ticks every 500 ms; between ticks the device plays the blocks due in that
// half second unless it is stalled. The counter counts milliseconds.
TEST_F(TransferStatistics, LostOutputDeviceAfterTwoSecondsOfSilenceOnlyOncePlaybackIsUnderWay)
{
    // Stalled from, until (ms since the playback start); the tick that ends the program, 0 none.
    const struct {
        int stallFrom, stallUntil, lostAt;
    } cases[] = {
        {3000, 1 << 30, 5000}, // four silent ticks after 3 s: lost about 2 s later
        {0, 2000, 0},          // silent at first only: the first 2 s do not count
        {500, 2500, 0},        // one silent tick after 2 s, then sound again
        {1000, 1 << 30, 4000}, // silent from 1 s: the count starts after 2 s
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "stall " << c.stallFrom << ".." << c.stallUntil);
        SetUp();
        std::vector<uint8_t> source(4096, 128);
        CWave wave(512, 1, 11025, 8);
        wave.SetOutputSource(source.data(), int32_t(source.size()));
        wave.SetPlaybackStore(&m_store);
        ASSERT_TRUE(wave.OpenOutput(0) == kWaveOk && wave.StartOutput() == 1);
        m_sources = {nullptr, &wave, 0, 0, 1000, 11025};
        int lostAt = 0;
        for (int t = 500; t <= 7000 && lostAt == 0; t += 500) {
            const bool stalled = t > c.stallFrom && t <= c.stallUntil;
            SimSetStall(kSimOutput, stalled);
            const int due = int(int64_t(t) * 11025 / 512 / 1000) - int(int64_t(t - 500) * 11025 / 512 / 1000);
            EXPECT_EQ(SimCompleteBlocks(kSimOutput, due), stalled ? 0 : due);
            const TransferTexts texts = Update(t);
            if (texts.outputLost) lostAt = t;
            EXPECT_EQ(texts.fillOut.empty(), texts.outputLost) << "a lost playback no longer runs";
        }
        EXPECT_EQ(lostAt, c.lostAt);
        SimSetStall(kSimOutput, false);
        wave.CloseOutput();
    }
}

} // namespace

// The simulated wave device through its table, read the way winmm's own
// tests read: after each call, the header flags and the messages that follow.
#include "platform/sim_wave_device.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// The callbacks: O opened, C closed, else the user word of the done block.
// Read once the device is closed: close ends the device's thread.
std::string g_events;
void Record(WaveHandle, uint32_t message, uintptr_t, WaveHeader* h)
{
    const bool done = message == kWaveOutDone || message == kWaveInData;
    g_events += done && h                                               ? char('0' + h->dwUser)
                : message == kWaveOutOpened || message == kWaveInOpened ? 'O'
                : message == kWaveOutClosed || message == kWaveInClosed ? 'C'
                                                                        : '?';
}

class SimWaveDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SimSetStepped(true);
        g_events.clear();
        for (int i = 0; i < 4; ++i)
            m_header[i] = WaveHeader{reinterpret_cast<char*>(m_data[i]), 300, 0, uintptr_t(i), 0, 0, nullptr, 0};
    }
    void TearDown() override { EXPECT_EQ(SimReset(), 0) << "a device was left open"; }
    uint32_t Open(SimDirection direction, uint32_t id, uint32_t flags = 0)
    {
        WaveFormatEx f = {kWaveFormatPcm, 1, 11025, 11025, 1, 8, 0};
        return (direction == kSimInput ? m_t->inOpen : m_t->outOpen)(&m_device, id, &f, &Record, 0, flags);
    }
    uint32_t Flags(int i) const { return LoadHeaderFlags(m_header[i]); }

    const WaveDeviceTable* m_t = SimWaveDeviceTable();
    WaveHandle m_device = nullptr;
    uint8_t m_data[4][300] = {};
    WaveHeader m_header[4];
};

TEST_F(SimWaveDevice, OutputHeadersFollowTheQueueRules)
{
    ASSERT_EQ(Open(kSimOutput, 0), kWaveOk);
    EXPECT_EQ(m_t->outWrite(m_device, &m_header[0]), kWaveErrUnprepared);
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(m_t->outPrepareHeader(m_device, &m_header[i]), kWaveOk);
        ASSERT_EQ(m_t->outWrite(m_device, &m_header[i]), kWaveOk);
    }
    EXPECT_EQ(Flags(0), kHeaderPrepared | kHeaderInQueue);
    EXPECT_EQ(m_t->outWrite(m_device, &m_header[0]), kWaveErrStillPlaying);
    EXPECT_EQ(m_t->outUnprepareHeader(m_device, &m_header[0]), kWaveErrStillPlaying);

    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 2), 2);
    EXPECT_EQ(std::make_tuple(Flags(0), Flags(1), Flags(2)),
              std::make_tuple(kHeaderPrepared | kHeaderDone, kHeaderPrepared | kHeaderDone,
                              kHeaderPrepared | kHeaderInQueue));
    EXPECT_EQ(m_t->outClose(m_device), kWaveErrStillPlaying);
    // Rewriting a done block clears its done flag and puts it at the back.
    ASSERT_EQ(m_t->outWrite(m_device, &m_header[0]), kWaveOk);
    EXPECT_EQ(Flags(0), kHeaderPrepared | kHeaderInQueue);
    ASSERT_EQ(m_t->outPause(m_device), kWaveOk);
    EXPECT_EQ(SimCompleteBlocks(kSimOutput, 1), 0) << "a paused device plays nothing";
    ASSERT_EQ(m_t->outRestart(m_device), kWaveOk);
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 1), 1);

    // Reset hands back the rest, in order, as done (the bytes each played:
    // the streaming tests' totals); close comes last.
    ASSERT_EQ(m_t->outReset(m_device), kWaveOk);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Flags(i) & (kHeaderDone | kHeaderInQueue), kHeaderDone);
        EXPECT_EQ(m_t->outUnprepareHeader(m_device, &m_header[i]), kWaveOk);
    }
    ASSERT_EQ(m_t->outClose(m_device), kWaveOk);
    EXPECT_EQ(g_events, "O01230C");
}

TEST_F(SimWaveDevice, InputRecordsOnlyAfterStartAndReportsEveryBlockBeforeItsClose)
{
    SimSetOpenFailure(kSimInput, kWaveErrAllocated); // the failing open: WaveDeviceChoice
    EXPECT_EQ(Open(kSimInput, 0, kWaveOpenQuery), kWaveOk) << "a query opens nothing to fail";
    SimSetOpenFailure(kSimInput, 0);
    ASSERT_EQ(Open(kSimInput, kWaveMapperId), kWaveOk);
    for (int i = 0; i < 4; ++i) {
        m_t->inPrepareHeader(m_device, &m_header[i]);
        ASSERT_EQ(m_t->inAddBuffer(m_device, &m_header[i]), kWaveOk);
    }
    EXPECT_EQ(SimCompleteBlocks(kSimInput, 1), 0);
    ASSERT_EQ(m_t->inStart(m_device), kWaveOk);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 2), 2);
    // The default signal is the low byte of each byte's place in the stream.
    EXPECT_EQ(std::make_tuple(m_header[1].dwBytesRecorded, m_data[0][299], m_data[1][0]),
              std::make_tuple(300u, uint8_t(299), uint8_t(300)));
    // The part block at a reset: the streaming tests.
    ASSERT_EQ(m_t->inReset(m_device), kWaveOk);
    for (int i = 0; i < 4; ++i) m_t->inUnprepareHeader(m_device, &m_header[i]);
    ASSERT_EQ(m_t->inClose(m_device), kWaveOk);
    EXPECT_EQ(g_events, "O0123C") << "the query sent nothing";
}

// The table a run uses, by the name given for test and fault-injection runs.
TEST(WaveDeviceChoice, ANamedTableForTestRunsElseTheSystemOne)
{
    const WaveDeviceTable winmm = {};
    const struct {
        const char* name;
        const WaveDeviceTable* table;
        uint32_t openResult;
    } kChoices[] = {
        {nullptr, &winmm, 0},
        {"winmm", &winmm, 0},
        {"none", NoWaveDeviceTable(), 0},
        {"sim", SimWaveDeviceTable(), kWaveOk},
        {"sim-refuse-format", SimWaveDeviceTable(), kWaveErrBadFormat},
        {"sim-open-fails", SimWaveDeviceTable(), kWaveErrAllocated},
    };
    for (const auto& c : kChoices) {
        SCOPED_TRACE(c.name ? c.name : "no name");
        const WaveDeviceTable* table = ChooseWaveDeviceTable(c.name, &winmm);
        ASSERT_EQ(table, c.table);
        if (table != SimWaveDeviceTable()) continue;
        WaveFormatEx format = {kWaveFormatPcm, 1, 11025, 11025, 1, 8, 0};
        WaveHandle in = nullptr, out = nullptr;
        EXPECT_EQ(table->inOpen(&in, 0, &format, nullptr, 0, 0), c.openResult);
        EXPECT_EQ(table->outOpen(&out, 0, &format, nullptr, 0, 0), c.openResult);
        SimReset(); // closes what opened
    }
}

} // namespace

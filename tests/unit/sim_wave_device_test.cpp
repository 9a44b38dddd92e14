// The simulated wave device through its table, read the way winmm's own
// tests read: after each call, the header flags and the messages that follow.
#include "platform/sim_wave_device.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace {

struct Event {
    uint32_t message;
    int block; // user word of the header, -1 without one
    bool operator==(const Event& o) const { return message == o.message && block == o.block; }
};

struct Recorder {
    std::mutex mutex;
    std::vector<Event> events;
    static void Callback(WaveHandle, uint32_t message, uintptr_t context, WaveHeader* header)
    {
        auto* self = reinterpret_cast<Recorder*>(context);
        std::lock_guard<std::mutex> lk(self->mutex);
        self->events.push_back({message, header ? int(header->dwUser) : -1});
    }
    std::vector<Event> Take()
    {
        std::lock_guard<std::mutex> lk(mutex);
        return events;
    }
};

class SimWaveDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SimSetStepped(true);
        for (int i = 0; i < 4; ++i) {
            m_header[i] = WaveHeader{reinterpret_cast<char*>(m_data[i]), sizeof m_data[i], 0,
                                     uintptr_t(i), 0, 0, nullptr, 0};
        }
    }
    void TearDown() override { EXPECT_EQ(SimReset(), 0) << "a device was left open"; }

    uint32_t Open(SimDirection direction, uint32_t id, uint32_t flags = 0)
    {
        WaveFormatEx f = {kWaveFormatPcm, 1, 11025, 11025, 1, 8, 0};
        return direction == kSimInput
                   ? m_t->inOpen(&m_device, id, &f, &Recorder::Callback, uintptr_t(&m_rec), flags)
                   : m_t->outOpen(&m_device, id, &f, &Recorder::Callback, uintptr_t(&m_rec), flags);
    }
    uint32_t Flags(int i) const { return LoadHeaderFlags(m_header[i]); }

    const WaveDeviceTable* m_t = SimWaveDeviceTable();
    WaveHandle m_device = nullptr;
    Recorder m_rec;
    uint8_t m_data[4][300] = {};
    WaveHeader m_header[4];
};

TEST_F(SimWaveDevice, OutputHeadersFollowTheQueueRules)
{
    ASSERT_EQ(Open(kSimOutput, 0), kWaveOk);
    EXPECT_EQ(m_t->outWrite(m_device, &m_header[0]), kWaveErrUnprepared);
    ASSERT_EQ(m_t->outPrepareHeader(m_device, &m_header[0]), kWaveOk);
    EXPECT_EQ(Flags(0), kHeaderPrepared);
    ASSERT_EQ(m_t->outWrite(m_device, &m_header[0]), kWaveOk);
    EXPECT_EQ(Flags(0), kHeaderPrepared | kHeaderInQueue);
    EXPECT_EQ(m_t->outWrite(m_device, &m_header[0]), kWaveErrStillPlaying);
    EXPECT_EQ(m_t->outUnprepareHeader(m_device, &m_header[0]), kWaveErrStillPlaying);
    for (int i = 1; i < 4; ++i) {
        m_t->outPrepareHeader(m_device, &m_header[i]);
        ASSERT_EQ(m_t->outWrite(m_device, &m_header[i]), kWaveOk);
    }

    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 2), 2);
    EXPECT_EQ(Flags(0), kHeaderPrepared | kHeaderDone);
    EXPECT_EQ(Flags(1), kHeaderPrepared | kHeaderDone);
    EXPECT_EQ(Flags(2), kHeaderPrepared | kHeaderInQueue);
    EXPECT_EQ(m_t->outClose(m_device), kWaveErrStillPlaying);

    // Rewriting a done block clears its done flag and puts it at the back.
    ASSERT_EQ(m_t->outWrite(m_device, &m_header[0]), kWaveOk);
    EXPECT_EQ(Flags(0), kHeaderPrepared | kHeaderInQueue);
    ASSERT_EQ(m_t->outPause(m_device), kWaveOk);
    EXPECT_EQ(SimCompleteBlocks(kSimOutput, 1), 0) << "a paused device plays nothing";
    ASSERT_EQ(m_t->outRestart(m_device), kWaveOk);
    ASSERT_EQ(SimCompleteBlocks(kSimOutput, 1), 1);

    // Reset hands back the rest, in order, as done; close comes last.
    ASSERT_EQ(m_t->outReset(m_device), kWaveOk);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Flags(i) & (kHeaderDone | kHeaderInQueue), kHeaderDone);
        EXPECT_EQ(m_t->outUnprepareHeader(m_device, &m_header[i]), kWaveOk);
    }
    ASSERT_EQ(m_t->outClose(m_device), kWaveOk);
    const std::vector<Event> expected = {
        {kWaveOutOpened, -1}, {kWaveOutDone, 0}, {kWaveOutDone, 1}, {kWaveOutDone, 2},
        {kWaveOutDone, 3},    {kWaveOutDone, 0}, {kWaveOutClosed, -1}};
    EXPECT_EQ(m_rec.Take(), expected);
    EXPECT_EQ(m_t->outWrite(m_device, &m_header[0]), kWaveErrInvalidHandle);
}

TEST_F(SimWaveDevice, InputRecordsTheSignalOnlyAfterStart)
{
    ASSERT_EQ(Open(kSimInput, kWaveMapperId), kWaveOk);
    for (int i = 0; i < 3; ++i) {
        m_t->inPrepareHeader(m_device, &m_header[i]);
        ASSERT_EQ(m_t->inAddBuffer(m_device, &m_header[i]), kWaveOk);
    }
    EXPECT_EQ(SimCompleteBlocks(kSimInput, 1), 0);
    ASSERT_EQ(m_t->inStart(m_device), kWaveOk);
    ASSERT_EQ(SimCompleteBlocks(kSimInput, 2), 2);
    // The default signal is the low byte of each byte's place in the stream.
    EXPECT_EQ(m_header[1].dwBytesRecorded, 300u);
    EXPECT_EQ(m_data[0][299], uint8_t(299));
    EXPECT_EQ(m_data[1][0], uint8_t(300));

    ASSERT_EQ(m_t->inReset(m_device), kWaveOk);
    EXPECT_EQ(m_header[2].dwBytesRecorded, 0u);
    for (int i = 0; i < 3; ++i)
        m_t->inUnprepareHeader(m_device, &m_header[i]);
    ASSERT_EQ(m_t->inClose(m_device), kWaveOk);
    const std::vector<Event> expected = {
        {kWaveInOpened, -1}, {kWaveInData, 0}, {kWaveInData, 1}, {kWaveInData, 2}, {kWaveInClosed, -1}};
    EXPECT_EQ(m_rec.Take(), expected);
}

TEST_F(SimWaveDevice, OpenAnswersForDevicesFormatsAndFailures)
{
    SimSetOutputDevices({WaveOutCaps{}, WaveOutCaps{}});
    EXPECT_EQ(Open(kSimOutput, 2), kWaveErrBadDeviceId);
    EXPECT_EQ(Open(kSimInput, 1), kWaveErrBadDeviceId);

    SimSetOpenFailure(kSimOutput, kWaveErrAllocated);
    EXPECT_EQ(Open(kSimOutput, 1, kWaveOpenQuery), kWaveOk) << "a query opens nothing to fail";
    EXPECT_EQ(Open(kSimOutput, 1), kWaveErrAllocated);

    SimSetFormatRule([](SimDirection, uint32_t id, const WaveFormatExtensible&) { return id == 0; });
    EXPECT_EQ(Open(kSimOutput, 1, kWaveOpenQuery), kWaveErrBadFormat);
    EXPECT_EQ(Open(kSimOutput, 0, kWaveOpenQuery), kWaveOk);
    EXPECT_EQ(SimOpenDeviceCount(), 0);
    EXPECT_EQ(SimOpenLog().size(), 6u);
    EXPECT_TRUE(m_rec.Take().empty());
}

} // namespace

// The winmm binding of the wave device table on the real output device: the
// header flags after each call, the notices in completion order on one
// forwarding thread (not the caller's), blocks queued again from inside the
// handler, a close refused from there, and the close notice delivered before
// close returns. Skipped without a wave device.
#include <windows.h>

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "platform/wave_device.h"
#include "platform/winmm_device_win.h"

namespace {

constexpr int kBlocks = 4;
constexpr uint32_t kBlockBytes = 1764; // 20 ms at 44100 Hz, 16-bit mono

struct Notice {
    uint32_t message;
    int block; // -1 for the open and close notices
    DWORD thread;
    uint32_t played; // what the binding says was played of the block
};

// The program's side: records every notice, queues the first two blocks
// again and tries a close from inside the handler.
struct Handler {
    const WaveDeviceTable* table = WinmmWaveDeviceTable();
    std::mutex lock;
    std::vector<Notice> notices;
    int requeueLeft = 2, done = 0;
    uint32_t closeFromHandler = ~0u;
    HANDLE allDone = CreateEventA(nullptr, TRUE, FALSE, nullptr); // set at the (kBlocks + 2)th done

    ~Handler() { CloseHandle(allDone); }
    static void Callback(WaveHandle device, uint32_t message, uintptr_t context, WaveHeader* header)
    {
        auto* self = reinterpret_cast<Handler*>(context);
        if (message == kWaveOutDone && self->closeFromHandler == ~0u)
            self->closeFromHandler = self->table->outClose(device);
        if (message == kWaveOutDone && self->requeueLeft-- > 0) self->table->outWrite(device, header);
        std::lock_guard<std::mutex> lk(self->lock);
        self->notices.push_back(
            {message, header ? int(header->dwUser) : -1, GetCurrentThreadId(), header ? header->dwBytesRecorded : 0});
        if (message == kWaveOutDone && ++self->done == kBlocks + 2) SetEvent(self->allDone);
    }
    // The done notices' blocks, or what each says was played.
    std::vector<uint32_t> Done(bool played)
    {
        std::lock_guard<std::mutex> lk(lock);
        std::vector<uint32_t> v;
        for (const Notice& n : notices)
            if (n.message == kWaveOutDone) v.push_back(played ? n.played : uint32_t(n.block));
        return v;
    }
};

TEST(WinmmDevice, OutputBlocksComeBackInOrderOnTheForwardingThreadUntilClose)
{
    Handler handler;
    const WaveDeviceTable* table = handler.table;
    if (table->outGetNumDevs() == 0) GTEST_SKIP() << "no wave output device";
    std::vector<char> data(kBlocks * kBlockBytes, 0);
    WaveHeader headers[kBlocks] = {};
    for (int i = 0; i < kBlocks; ++i) {
        headers[i].lpData = &data[i * kBlockBytes];
        headers[i].dwBufferLength = kBlockBytes;
        headers[i].dwUser = uintptr_t(i);
    }
    WaveFormatEx format = {kWaveFormatPcm, 1, 44100, 88200, 2, 16, 0};
    WaveHandle device = nullptr;
    ASSERT_EQ(table->outOpen(&device, kWaveMapperId, &format, &Handler::Callback, uintptr_t(&handler), 0), kWaveOk);
    for (WaveHeader& h : headers) {
        ASSERT_EQ(table->outPrepareHeader(device, &h), kWaveOk);
        EXPECT_EQ(LoadHeaderFlags(h) & (kHeaderPrepared | kHeaderInQueue), kHeaderPrepared);
    }
    for (WaveHeader& h : headers) ASSERT_EQ(table->outWrite(device, &h), kWaveOk);
    ASSERT_EQ(WaitForSingleObject(handler.allDone, 3000), WAIT_OBJECT_0) << "120 ms of sound did not finish";

    EXPECT_EQ(handler.closeFromHandler, kWaveErrInvalidParam) << "a close from inside the handler is refused";
    EXPECT_EQ(handler.Done(false), (std::vector<uint32_t>{0, 1, 2, 3, 0, 1}))
        << "completion order, the first two played twice";
    for (WaveHeader& h : headers) EXPECT_EQ(LoadHeaderFlags(h) & (kHeaderDone | kHeaderInQueue), kHeaderDone);

    // Reset hands back what is queued; close delivers its notice before it returns.
    for (WaveHeader& h : headers) ASSERT_EQ(table->outWrite(device, &h), kWaveOk);
    EXPECT_EQ(table->outReset(device), kWaveOk);
    for (WaveHeader& h : headers) ASSERT_EQ(table->outUnprepareHeader(device, &h), kWaveOk);
    ASSERT_EQ(table->outClose(device), kWaveOk);
    std::vector<uint32_t> expected(kBlocks + 2, kBlockBytes);
    expected.resize(2 * kBlocks + 2, 0);
    EXPECT_EQ(handler.Done(true), expected) << "played whole, then handed back by the reset unplayed";
    std::lock_guard<std::mutex> lk(handler.lock);
    EXPECT_EQ(handler.notices.front().message, kWaveOutOpened);
    EXPECT_EQ(handler.notices.back().message, kWaveOutClosed);
    for (const Notice& n : handler.notices) {
        EXPECT_EQ(n.thread, handler.notices.front().thread) << "one forwarding thread per device";
        EXPECT_NE(n.thread, GetCurrentThreadId());
    }
}

} // namespace

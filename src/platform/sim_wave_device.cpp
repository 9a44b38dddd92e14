#include "platform/sim_wave_device.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A block handed back by a reset: how much of it was recorded or played, and
// where that part lies in the device's stream.
struct ReturnedBlock {
    WaveHeader* header;
    uint32_t bytes;
    uint64_t streamOffset;
};

struct SimDevice {
    SimDirection direction = kSimInput;
    WaveHandle handle = nullptr;
    WaveCallback callback = nullptr;
    uintptr_t context = 0;
    uint32_t bytesPerSec = 1;
    uint32_t frameBytes = 1;
    bool stepped = false;
    SimSignal signal;
    SimSink sink;
    std::thread thread;

    // Everything below is guarded by mu.
    std::mutex mu;
    std::condition_variable cv;
    std::deque<WaveHeader*> queue;          // queued, in order
    std::deque<Clock::time_point> queuedAt; // when each block of queue was queued
    std::deque<ReturnedBlock> returned;     // handed back by reset, to be reported
    bool running = false;                   // output: not paused; input: started
    bool stalled = false;
    uint32_t cutShort = 0; // stepped: bytes the head block holds at a reset
    int dropAfter = -1;    // completions left before the device is lost
    bool dropped = false;
    bool closing = false;
    bool silent = false;     // forced close: no more callbacks at all
    bool delivering = false; // a report is being delivered
    int credit = 0;          // stepped: blocks a test has asked for
    uint64_t completed = 0;
    uint64_t streamOffset = 0;
    Clock::time_point lastDue; // end of the block played last
    Clock::time_point headDue;
    bool headDueValid = false;

    uint32_t DoneMessage() const { return direction == kSimInput ? kWaveInData : kWaveOutDone; }

    bool CanPlay() const { return running && !stalled && !dropped && !closing && !queue.empty(); }

    void Deliver(uint32_t message, WaveHeader* header)
    {
        if (callback != nullptr) callback(handle, message, context, header);
    }

    void Restart()
    {
        lastDue = Clock::now();
        headDueValid = false;
    }

    Clock::duration Duration(const WaveHeader* h) const
    {
        return std::chrono::duration_cast<Clock::duration>(
            std::chrono::nanoseconds(uint64_t(h->dwBufferLength) * 1000000000ull / bytesPerSec));
    }

    // Records into (input) or plays from (output) the first bytes of a block.
    void Transfer(WaveHeader* h, uint32_t bytes, uint64_t offset)
    {
        auto* data = reinterpret_cast<uint8_t*>(h->lpData);
        if (bytes == 0) return;
        if (direction == kSimInput)
            signal(data, bytes, offset);
        else if (sink)
            sink(data, bytes);
    }

    // Whole frames of the block at the head of the queue that are done when a
    // reset comes, always fewer than the block: real time, as far as the
    // block's time has run; stepped, what the test asked for. A device that
    // is not moving has done nothing of it. Called with mu held.
    uint32_t HeadProgress(const WaveHeader* h) const
    {
        if (!running || stalled || dropped) return 0;
        uint64_t bytes = cutShort;
        if (!stepped) {
            bytes = 0;
            if (headDueValid) {
                const Clock::duration left = std::max(headDue - Clock::now(), Clock::duration::zero());
                const Clock::duration run = std::max(Duration(h) - left, Clock::duration::zero());
                bytes = uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(run).count()) * bytesPerSec /
                        1000000000ull;
            }
        }
        const uint32_t whole = h->dwBufferLength - h->dwBufferLength % frameBytes;
        bytes = std::min<uint64_t>(bytes, whole >= frameBytes ? whole - frameBytes : 0);
        return uint32_t(bytes - bytes % frameBytes);
    }

    // Finishes the block at the head of the queue. Called and returns with lk held.
    void CompleteHead(std::unique_lock<std::mutex>& lk)
    {
        WaveHeader* h = queue.front();
        queue.pop_front();
        queuedAt.pop_front();
        delivering = true;
        const uint64_t offset = streamOffset;
        streamOffset += h->dwBufferLength;
        if (dropAfter > 0 && --dropAfter == 0) dropped = true;
        lk.unlock();

        h->dwBytesRecorded = h->dwBufferLength;
        Transfer(h, h->dwBufferLength, offset);
        StoreHeaderFlags(*h, (LoadHeaderFlags(*h) | kHeaderDone) & ~kHeaderInQueue);
        Deliver(DoneMessage(), h);

        lk.lock();
        delivering = false;
        ++completed;
        cv.notify_all();
    }

    void Run()
    {
        Deliver(direction == kSimInput ? kWaveInOpened : kWaveOutOpened, nullptr);
        std::unique_lock<std::mutex> lk(mu);
        for (;;) {
            if (silent) break;
            if (!returned.empty()) {
                const ReturnedBlock r = returned.front();
                returned.pop_front();
                delivering = true;
                lk.unlock();
                Transfer(r.header, r.bytes, r.streamOffset);
                Deliver(DoneMessage(), r.header);
                lk.lock();
                delivering = false;
                cv.notify_all();
                continue;
            }
            if (closing) break;
            if (CanPlay()) {
                if (stepped) {
                    if (credit > 0) {
                        --credit;
                        CompleteHead(lk);
                        continue;
                    }
                } else {
                    const Clock::time_point now = Clock::now();
                    if (!headDueValid) {
                        // The device's clock, not this thread's: a block
                        // waiting in the queue follows on from the one before
                        // however late the thread comes to it.
                        headDue = std::max(lastDue, queuedAt.front()) + Duration(queue.front());
                        headDueValid = true;
                    }
                    if (now >= headDue) {
                        lastDue = headDue;
                        headDueValid = false;
                        CompleteHead(lk);
                        continue;
                    }
                    cv.wait_until(lk, headDue);
                    continue;
                }
            }
            cv.wait(lk);
        }
        const bool notify = !silent;
        lk.unlock();
        if (notify) Deliver(direction == kSimInput ? kWaveInClosed : kWaveOutClosed, nullptr);
    }
};

void CounterSignal(uint8_t* data, uint32_t bytes, uint64_t streamOffset)
{
    for (uint32_t i = 0; i < bytes; ++i) data[i] = uint8_t(streamOffset + i);
}

struct SimState {
    std::mutex mutex;
    std::vector<WaveInCaps> inDevices;
    std::vector<WaveOutCaps> outDevices;
    std::vector<AuxCaps> auxDevices;
    SimFormatRule rule;
    uint32_t openFailure[2] = {0, 0};
    bool stepped = false;
    bool stalled[2] = {false, false};
    uint32_t cutShort[2] = {0, 0};
    int pendingDrop[2] = {-1, -1};
    SimSignal signal = CounterSignal;
    SimSink sink;
    std::vector<std::shared_ptr<SimDevice>> open; // in the order they were opened
    std::vector<SimOpenRecord> log;

    void Defaults()
    {
        WaveInCaps in = {1, 1, 0x0100, "Sim Input", 0xFFF, 2, 0};
        WaveOutCaps out = {1, 2, 0x0100, "Sim Output", 0xFFF, 2, 0, 0x2C};
        inDevices.assign(1, in);
        outDevices.assign(1, out);
        auxDevices.clear();
        rule = nullptr;
        openFailure[0] = openFailure[1] = 0;
        stepped = false;
        stalled[0] = stalled[1] = false;
        cutShort[0] = cutShort[1] = 0;
        pendingDrop[0] = pendingDrop[1] = -1;
        signal = CounterSignal;
        sink = nullptr;
        log.clear();
    }

    SimState() { Defaults(); }

    std::shared_ptr<SimDevice> Find(WaveHandle h, SimDirection direction)
    {
        for (auto& d : open)
            if (d->handle == h && d->direction == direction) return d;
        return nullptr;
    }

    std::shared_ptr<SimDevice> Last(SimDirection direction)
    {
        for (auto it = open.rbegin(); it != open.rend(); ++it)
            if ((*it)->direction == direction) return *it;
        return nullptr;
    }
};

// Never destroyed: device threads may still call in during static destruction.
SimState& State()
{
    static auto* state = new SimState();
    return *state;
}

std::atomic<uint32_t> s_calls{0};

std::shared_ptr<SimDevice> Lookup(WaveHandle h, SimDirection direction)
{
    ++s_calls;
    SimState& s = State();
    std::lock_guard<std::mutex> lk(s.mutex);
    return s.Find(h, direction);
}

WaveFormatExtensible ToExtensible(const WaveFormatEx* format)
{
    WaveFormatExtensible ext;
    std::memset(&ext, 0, sizeof ext);
    if (format == nullptr) return ext;
    if (format->wFormatTag == kWaveFormatExtensible && format->cbSize >= kExtensibleExtraBytes)
        std::memcpy(&ext, format, sizeof ext);
    else
        std::memcpy(&ext.Format, format, sizeof ext.Format);
    return ext;
}

bool PlainPcmAccepted(const WaveFormatExtensible& f)
{
    const WaveFormatEx& w = f.Format;
    if (w.nChannels == 0 || w.nSamplesPerSec == 0 || w.nBlockAlign == 0 || w.nAvgBytesPerSec == 0) return false;
    if (w.wFormatTag == kWaveFormatPcm) return w.wBitsPerSample >= 8 && w.wBitsPerSample % 8 == 0;
    if (w.wFormatTag == kWaveFormatExtensible)
        return w.cbSize >= kExtensibleExtraBytes && SameGuid(f.SubFormat, kPcmSubFormat) && w.wBitsPerSample % 8 == 0 &&
               f.wValidBitsPerSample <= w.wBitsPerSample;
    return false;
}

uint32_t Open(SimDirection direction, WaveHandle* device, uint32_t deviceId, const WaveFormatEx* format,
              WaveCallback callback, uintptr_t context, uint32_t flags)
{
    ++s_calls;
    SimState& s = State();
    std::lock_guard<std::mutex> lk(s.mutex);
    SimOpenRecord record = {direction, deviceId, flags, ToExtensible(format), kWaveOk};
    const size_t count = direction == kSimInput ? s.inDevices.size() : s.outDevices.size();
    const uint32_t id = deviceId == kWaveMapperId ? 0 : deviceId;
    const bool query = (flags & kWaveOpenQuery) != 0;

    uint32_t result = kWaveOk;
    if (format == nullptr || (!query && device == nullptr))
        result = kWaveErrInvalidParam;
    else if (id >= count)
        result = kWaveErrBadDeviceId;
    else if (s.rule ? !s.rule(direction, id, record.format) : !PlainPcmAccepted(record.format))
        result = kWaveErrBadFormat;
    else if (!query && s.openFailure[direction] != 0)
        result = s.openFailure[direction];

    if (result == kWaveOk && !query) {
        auto d = std::make_shared<SimDevice>();
        d->direction = direction;
        d->handle = reinterpret_cast<WaveHandle>(d.get());
        d->callback = callback;
        d->context = context;
        uint32_t bps = format->nAvgBytesPerSec;
        if (bps == 0) bps = format->nSamplesPerSec * format->nBlockAlign;
        d->bytesPerSec = std::max<uint32_t>(bps, 1);
        d->frameBytes = std::max<uint32_t>(format->nBlockAlign, 1);
        d->stepped = s.stepped;
        d->signal = s.signal ? s.signal : CounterSignal;
        d->sink = s.sink;
        d->running = direction == kSimOutput;
        d->stalled = s.stalled[direction];
        d->cutShort = s.cutShort[direction];
        if (s.pendingDrop[direction] >= 0) {
            d->dropAfter = s.pendingDrop[direction];
            d->dropped = d->dropAfter == 0;
            s.pendingDrop[direction] = -1;
        }
        d->Restart();
        s.open.push_back(d);
        d->thread = std::thread(&SimDevice::Run, d.get());
        *device = d->handle;
    }
    record.result = result;
    s.log.push_back(record);
    return result;
}

uint32_t Prepare(SimDirection direction, WaveHandle h, WaveHeader* header)
{
    auto d = Lookup(h, direction);
    if (!d) return kWaveErrInvalidHandle;
    if (header == nullptr || header->lpData == nullptr || header->dwBufferLength == 0) return kWaveErrInvalidParam;
    std::lock_guard<std::mutex> lk(d->mu);
    const uint32_t flags = LoadHeaderFlags(*header);
    if (flags & kHeaderInQueue) return kWaveErrStillPlaying;
    StoreHeaderFlags(*header, flags | kHeaderPrepared);
    return kWaveOk;
}

uint32_t Unprepare(SimDirection direction, WaveHandle h, WaveHeader* header)
{
    auto d = Lookup(h, direction);
    if (!d) return kWaveErrInvalidHandle;
    if (header == nullptr) return kWaveErrInvalidParam;
    std::lock_guard<std::mutex> lk(d->mu);
    const uint32_t flags = LoadHeaderFlags(*header);
    if (flags & kHeaderInQueue) return kWaveErrStillPlaying;
    StoreHeaderFlags(*header, flags & ~kHeaderPrepared);
    return kWaveOk;
}

uint32_t Queue(SimDirection direction, WaveHandle h, WaveHeader* header)
{
    auto d = Lookup(h, direction);
    if (!d) return kWaveErrInvalidHandle;
    if (header == nullptr) return kWaveErrInvalidParam;
    std::lock_guard<std::mutex> lk(d->mu);
    if (d->closing) return kWaveErrInvalidHandle;
    if (d->dropped) return kWaveErrNoDriver;
    const uint32_t flags = LoadHeaderFlags(*header);
    if (!(flags & kHeaderPrepared)) return kWaveErrUnprepared;
    if (flags & kHeaderInQueue) return kWaveErrStillPlaying;
    StoreHeaderFlags(*header, (flags & ~kHeaderDone) | kHeaderInQueue);
    d->queue.push_back(header);
    d->queuedAt.push_back(Clock::now());
    d->cv.notify_all();
    return kWaveOk;
}

uint32_t SetRunning(SimDirection direction, WaveHandle h, bool running)
{
    auto d = Lookup(h, direction);
    if (!d) return kWaveErrInvalidHandle;
    std::lock_guard<std::mutex> lk(d->mu);
    if (running && d->dropped) return kWaveErrNoDriver;
    if (running && !d->running) d->Restart();
    d->running = running;
    d->headDueValid = false;
    d->cv.notify_all();
    return kWaveOk;
}

uint32_t Reset(SimDirection direction, WaveHandle h)
{
    auto d = Lookup(h, direction);
    if (!d) return kWaveErrInvalidHandle;
    std::lock_guard<std::mutex> lk(d->mu);
    // Like winmm: the block under way keeps what it has recorded or played so
    // far, the ones behind it hold nothing. Its part is recorded or played on
    // the device's thread, before its done report.
    for (WaveHeader* header : d->queue) {
        const uint32_t bytes = header == d->queue.front() ? d->HeadProgress(header) : 0;
        header->dwBytesRecorded = bytes;
        StoreHeaderFlags(*header, (LoadHeaderFlags(*header) | kHeaderDone) & ~kHeaderInQueue);
        d->returned.push_back({header, bytes, d->streamOffset});
        d->streamOffset += bytes;
    }
    d->queue.clear();
    d->queuedAt.clear();
    if (direction == kSimInput) d->running = false; // input stops at a reset; output keeps its pause state
    d->headDueValid = false;
    d->cv.notify_all();
    return kWaveOk;
}

uint32_t Close(SimDirection direction, WaveHandle h)
{
    std::shared_ptr<SimDevice> d;
    {
        ++s_calls;
        SimState& s = State();
        std::lock_guard<std::mutex> lk(s.mutex);
        d = s.Find(h, direction);
        if (!d) return kWaveErrInvalidHandle;
        if (std::this_thread::get_id() == d->thread.get_id())
            return kWaveErrInvalidParam; // not from inside the callback
        std::lock_guard<std::mutex> dl(d->mu);
        if (!d->queue.empty()) return kWaveErrStillPlaying;
        d->closing = true;
        d->cv.notify_all();
        s.open.erase(std::find(s.open.begin(), s.open.end(), d));
    }
    // The thread reports what reset handed back, sends the close notice and ends.
    d->thread.join();
    return kWaveOk;
}

uint32_t InGetNumDevs()
{
    ++s_calls;
    std::lock_guard<std::mutex> lk(State().mutex);
    return uint32_t(State().inDevices.size());
}
uint32_t OutGetNumDevs()
{
    ++s_calls;
    std::lock_guard<std::mutex> lk(State().mutex);
    return uint32_t(State().outDevices.size());
}
uint32_t AuxGetNumDevs()
{
    ++s_calls;
    std::lock_guard<std::mutex> lk(State().mutex);
    return uint32_t(State().auxDevices.size());
}

template <class Caps>
uint32_t CopyCaps(const std::vector<Caps>& devices, uint32_t deviceId, Caps* caps)
{
    ++s_calls;
    const uint32_t id = deviceId == kWaveMapperId ? 0 : deviceId;
    if (caps == nullptr) return kWaveErrInvalidParam;
    if (id >= devices.size()) return kWaveErrBadDeviceId;
    *caps = devices[id];
    return kWaveOk;
}

uint32_t InGetDevCaps(uint32_t id, WaveInCaps* caps)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    return CopyCaps(State().inDevices, id, caps);
}
uint32_t OutGetDevCaps(uint32_t id, WaveOutCaps* caps)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    return CopyCaps(State().outDevices, id, caps);
}
uint32_t AuxGetDevCaps(uint32_t id, AuxCaps* caps)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    return CopyCaps(State().auxDevices, id, caps);
}

uint32_t InOpen(WaveHandle* d, uint32_t id, const WaveFormatEx* f, WaveCallback cb, uintptr_t ctx, uint32_t flags)
{
    return Open(kSimInput, d, id, f, cb, ctx, flags);
}
uint32_t InPrepare(WaveHandle h, WaveHeader* hdr) { return Prepare(kSimInput, h, hdr); }
uint32_t InUnprepare(WaveHandle h, WaveHeader* hdr) { return Unprepare(kSimInput, h, hdr); }
uint32_t InAddBuffer(WaveHandle h, WaveHeader* hdr) { return Queue(kSimInput, h, hdr); }
uint32_t InStart(WaveHandle h) { return SetRunning(kSimInput, h, true); }
uint32_t InReset(WaveHandle h) { return Reset(kSimInput, h); }
uint32_t InClose(WaveHandle h) { return Close(kSimInput, h); }

uint32_t OutOpen(WaveHandle* d, uint32_t id, const WaveFormatEx* f, WaveCallback cb, uintptr_t ctx, uint32_t flags)
{
    return Open(kSimOutput, d, id, f, cb, ctx, flags);
}
uint32_t OutPrepare(WaveHandle h, WaveHeader* hdr) { return Prepare(kSimOutput, h, hdr); }
uint32_t OutUnprepare(WaveHandle h, WaveHeader* hdr) { return Unprepare(kSimOutput, h, hdr); }
uint32_t OutWrite(WaveHandle h, WaveHeader* hdr) { return Queue(kSimOutput, h, hdr); }
uint32_t OutPause(WaveHandle h) { return SetRunning(kSimOutput, h, false); }
uint32_t OutRestart(WaveHandle h) { return SetRunning(kSimOutput, h, true); }
uint32_t OutReset(WaveHandle h) { return Reset(kSimOutput, h); }
uint32_t OutClose(WaveHandle h) { return Close(kSimOutput, h); }

const WaveDeviceTable kSimTable = {
    InGetNumDevs, InGetDevCaps, InOpen,        InPrepare,     InUnprepare, InAddBuffer,   InStart,
    InReset,      InClose,      OutGetNumDevs, OutGetDevCaps, OutOpen,     OutPrepare,    OutUnprepare,
    OutWrite,     OutPause,     OutRestart,    OutReset,      OutClose,    AuxGetNumDevs, AuxGetDevCaps,
};

} // namespace

const WaveDeviceTable* SimWaveDeviceTable() { return &kSimTable; }

int SimReset()
{
    std::vector<std::shared_ptr<SimDevice>> left;
    {
        SimState& s = State();
        std::lock_guard<std::mutex> lk(s.mutex);
        left.swap(s.open);
        s.Defaults();
    }
    for (auto& d : left) {
        {
            std::lock_guard<std::mutex> lk(d->mu);
            d->silent = true;
            d->closing = true;
            d->queue.clear();
            d->queuedAt.clear();
            d->returned.clear();
            d->cv.notify_all();
        }
        if (d->thread.joinable() && d->thread.get_id() != std::this_thread::get_id()) d->thread.join();
    }
    s_calls = 0;
    return int(left.size());
}

void SimSetInputDevices(const std::vector<WaveInCaps>& devices)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    State().inDevices = devices;
}

void SimSetOutputDevices(const std::vector<WaveOutCaps>& devices)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    State().outDevices = devices;
}

void SimSetAuxDevices(const std::vector<AuxCaps>& devices)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    State().auxDevices = devices;
}

void SimSetFormatRule(SimFormatRule rule)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    State().rule = std::move(rule);
}

void SimSetOpenFailure(SimDirection direction, uint32_t code)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    State().openFailure[direction] = code;
}

void SimSetStepped(bool stepped)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    State().stepped = stepped;
}

void SimSetInputSignal(SimSignal signal)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    State().signal = std::move(signal);
}

void SimSetOutputSink(SimSink sink)
{
    std::lock_guard<std::mutex> lk(State().mutex);
    State().sink = std::move(sink);
}

int SimCompleteBlocks(SimDirection direction, int n)
{
    std::shared_ptr<SimDevice> d;
    {
        std::lock_guard<std::mutex> lk(State().mutex);
        d = State().Last(direction);
    }
    if (!d || n <= 0) return 0;
    std::unique_lock<std::mutex> lk(d->mu);
    const uint64_t start = d->completed;
    if (d->stepped) {
        d->credit = n;
        d->cv.notify_all();
    }
    d->cv.wait(lk, [&] { return d->completed - start >= uint64_t(n) || (!d->delivering && !d->CanPlay()); });
    d->credit = 0;
    // A real-time device goes on meanwhile: what it completed past the n
    // asked for is not theirs.
    return int(std::min<uint64_t>(d->completed - start, uint64_t(n)));
}

void SimSetStall(SimDirection direction, bool stalled)
{
    SimState& s = State();
    std::lock_guard<std::mutex> lk(s.mutex);
    s.stalled[direction] = stalled;
    for (auto& d : s.open) {
        if (d->direction != direction) continue;
        std::lock_guard<std::mutex> dl(d->mu);
        if (d->stalled && !stalled) d->Restart(); // no burst of overdue blocks after a stall
        d->stalled = stalled;
        d->cv.notify_all();
    }
}

void SimCutShortAtReset(SimDirection direction, uint32_t bytes)
{
    SimState& s = State();
    std::lock_guard<std::mutex> lk(s.mutex);
    s.cutShort[direction] = bytes;
    for (auto& d : s.open) {
        if (d->direction != direction) continue;
        std::lock_guard<std::mutex> dl(d->mu);
        d->cutShort = bytes;
    }
}

void SimDropAfter(SimDirection direction, int n)
{
    SimState& s = State();
    std::lock_guard<std::mutex> lk(s.mutex);
    bool applied = false;
    for (auto& d : s.open) {
        if (d->direction != direction) continue;
        std::lock_guard<std::mutex> dl(d->mu);
        d->dropAfter = n;
        d->dropped = n <= 0;
        d->cv.notify_all();
        applied = true;
    }
    if (!applied) s.pendingDrop[direction] = n < 0 ? 0 : n;
}

std::vector<SimOpenRecord> SimOpenLog()
{
    std::lock_guard<std::mutex> lk(State().mutex);
    return State().log;
}

uint32_t SimCallCount() { return s_calls.load(); }

int SimOpenDeviceCount()
{
    std::lock_guard<std::mutex> lk(State().mutex);
    return int(State().open.size());
}

int SimQueuedBlocks(SimDirection direction)
{
    std::shared_ptr<SimDevice> d;
    {
        std::lock_guard<std::mutex> lk(State().mutex);
        d = State().Last(direction);
    }
    if (!d) return 0;
    std::lock_guard<std::mutex> lk(d->mu);
    return int(d->queue.size());
}

namespace {

bool RefuseEveryFormat(SimDirection, uint32_t, const WaveFormatExtensible&) { return false; }

} // namespace

const WaveDeviceTable* ChooseWaveDeviceTable(const char* name, const WaveDeviceTable* systemTable)
{
    const std::string choice = name != nullptr ? name : "";
    if (choice == "none") return NoWaveDeviceTable();
    if (choice != "sim" && choice != "sim-refuse-format" && choice != "sim-open-fails") return systemTable;
    SimReset();
    if (choice == "sim-refuse-format") {
        SimSetFormatRule(&RefuseEveryFormat);
    } else if (choice == "sim-open-fails") {
        SimSetOpenFailure(kSimInput, kWaveErrAllocated);
        SimSetOpenFailure(kSimOutput, kWaveErrAllocated);
    }
    return SimWaveDeviceTable();
}

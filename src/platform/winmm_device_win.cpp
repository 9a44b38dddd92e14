// The wave device table on winmm.
//
// How it works: winmm reports every finished block through a callback that
// runs on a thread of the system, and inside that callback almost no system
// call is allowed, waveInAddBuffer and waveOutWrite least of all. The
// program's completion handling re-queues each block, so it cannot run there.
// Each open device therefore gets a forwarding thread of its own:
// - winmm's callback (CALLBACK_FUNCTION) only appends the message and its
//   header to the device's notice ring, under a critical section, and sets
//   the device's event: the two calls the callback may make;
// - the forwarding thread wakes on that event and hands the notices, oldest
//   first, to the program's callback, so blocks are handled in completion
//   order, one at a time, as soon as they finish, and may be queued again
//   from there;
// - close waits for winmm to close the device (it sends its close notice
//   while closing), then tells the forwarding thread to deliver what is left
//   and end, and joins it. When inClose/outClose returns, no handler for that
//   device runs any more and the device object is freed.
// A close from inside the program's callback would wait for itself; it is
// refused, as the simulated device refuses it.
//
// How much of a block was handled: winmm writes dwBytesRecorded of an input
// block itself. For an output block it says nothing, so the forwarding
// thread writes it: the whole block for one that finished playing, 0 for one
// that waveOutReset handed back (winmm reports those before the reset
// returns; what part of the block under way was heard, it does not say).
//
// The ring never overflows: a block is reported once per queueing and is
// queued again only by the handler of its own notice, so at most 8 block
// notices plus the open and close notices are ever waiting.
#include "platform/winmm_device_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// WaveHeader is handed to winmm as a WAVEHDR and WaveFormatEx as a
// WAVEFORMATEX: same sizes, same offsets.
static_assert(sizeof(WaveHeader) == sizeof(WAVEHDR), "WAVEHDR size");
static_assert(offsetof(WaveHeader, lpData) == offsetof(WAVEHDR, lpData), "WAVEHDR layout");
static_assert(offsetof(WaveHeader, dwBufferLength) == offsetof(WAVEHDR, dwBufferLength), "WAVEHDR layout");
static_assert(offsetof(WaveHeader, dwBytesRecorded) == offsetof(WAVEHDR, dwBytesRecorded), "WAVEHDR layout");
static_assert(offsetof(WaveHeader, dwUser) == offsetof(WAVEHDR, dwUser), "WAVEHDR layout");
static_assert(offsetof(WaveHeader, dwFlags) == offsetof(WAVEHDR, dwFlags), "WAVEHDR layout");
static_assert(offsetof(WaveHeader, dwLoops) == offsetof(WAVEHDR, dwLoops), "WAVEHDR layout");
static_assert(offsetof(WaveHeader, lpNext) == offsetof(WAVEHDR, lpNext), "WAVEHDR layout");
static_assert(offsetof(WaveHeader, reserved) == offsetof(WAVEHDR, reserved), "WAVEHDR layout");
static_assert(sizeof(WaveFormatEx) == sizeof(WAVEFORMATEX), "WAVEFORMATEX size");
static_assert(offsetof(WaveFormatEx, cbSize) == offsetof(WAVEFORMATEX, cbSize), "WAVEFORMATEX layout");
static_assert(kWaveOpenQuery == WAVE_FORMAT_QUERY && kWaveOpenDirect == WAVE_FORMAT_DIRECT, "open flags");
static_assert(kWaveMapperId == WAVE_MAPPER, "wave mapper id");
static_assert(kWaveInData == WIM_DATA && kWaveOutDone == WOM_DONE, "messages");
static_assert(kHeaderDone == WHDR_DONE && kHeaderInQueue == WHDR_INQUEUE, "header flags");

WAVEHDR* AsWaveHdr(WaveHeader* header) { return reinterpret_cast<WAVEHDR*>(header); }

struct Notice {
    UINT message;
    WaveHeader* header; // null for the open and close notices
    bool fromReset;     // reported while a reset of the device ran
};

class WinmmDevice {
public:
    WinmmDevice(bool input, WaveCallback callback, uintptr_t context)
        : m_bInput(input),
          m_callback(callback),
          m_context(context)
    {
        InitializeCriticalSection(&m_lock);
    }
    ~WinmmDevice()
    {
        if (m_hWake) CloseHandle(m_hWake);
        DeleteCriticalSection(&m_lock);
    }
    WinmmDevice(const WinmmDevice&) = delete;
    WinmmDevice& operator=(const WinmmDevice&) = delete;

    bool StartForwarding()
    {
        m_hWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (m_hWake == nullptr) return false;
        m_hThread = CreateThread(nullptr, 0, &WinmmDevice::ForwardingThread, this, 0, &m_nThreadId);
        if (m_hThread == nullptr) return false;
        // Re-queueing a block must not wait behind ordinary work.
        SetThreadPriority(m_hThread, THREAD_PRIORITY_HIGHEST);
        return true;
    }

    // Delivers what is waiting (unless silent), ends the forwarding thread
    // and waits for it.
    void StopForwarding(bool silent)
    {
        if (m_hThread == nullptr) return;
        EnterCriticalSection(&m_lock);
        m_bQuit = true;
        m_bSilent = silent;
        LeaveCriticalSection(&m_lock);
        SetEvent(m_hWake);
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }

    bool OnForwardingThread() const { return GetCurrentThreadId() == m_nThreadId; }

    WaveHandle Handle() { return reinterpret_cast<WaveHandle>(this); }
    static WinmmDevice* From(WaveHandle handle) { return reinterpret_cast<WinmmDevice*>(handle); }

    // winmm's callback: only the critical section and SetEvent.
    static void CALLBACK WinmmCallback(HANDLE, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
    {
        auto* device = reinterpret_cast<WinmmDevice*>(instance);
        const bool block = message == WIM_DATA || message == WOM_DONE;
        device->Push(
            {message, block ? reinterpret_cast<WaveHeader*>(param1) : nullptr, device->m_nResetting.load() != 0});
    }

    // Hands back every queued block, marking the notices that come meanwhile.
    MMRESULT Reset()
    {
        m_nResetting.store(1);
        const MMRESULT result = m_bInput ? waveInReset(m_hWaveIn) : waveOutReset(m_hWaveOut);
        m_nResetting.store(0);
        return result;
    }

    const bool m_bInput;
    HWAVEIN m_hWaveIn = nullptr;
    HWAVEOUT m_hWaveOut = nullptr;

private:
    static constexpr int kRingSize = 32;

    void Push(const Notice& notice)
    {
        EnterCriticalSection(&m_lock);
        if (m_nCount < kRingSize) {
            m_ring[(m_nFirst + m_nCount) % kRingSize] = notice;
            ++m_nCount;
        }
        LeaveCriticalSection(&m_lock);
        SetEvent(m_hWake);
    }

    static DWORD WINAPI ForwardingThread(LPVOID self)
    {
        static_cast<WinmmDevice*>(self)->Forward();
        return 0;
    }

    void Forward()
    {
        for (;;) {
            WaitForSingleObject(m_hWake, INFINITE);
            for (;;) {
                EnterCriticalSection(&m_lock);
                if (m_nCount == 0) {
                    const bool quit = m_bQuit;
                    LeaveCriticalSection(&m_lock);
                    if (quit) return;
                    break;
                }
                const Notice notice = m_ring[m_nFirst];
                m_nFirst = (m_nFirst + 1) % kRingSize;
                --m_nCount;
                const bool silent = m_bSilent;
                LeaveCriticalSection(&m_lock);
                if (notice.message == WOM_DONE && notice.header != nullptr)
                    notice.header->dwBytesRecorded = notice.fromReset ? 0 : notice.header->dwBufferLength;
                if (!silent && m_callback != nullptr) m_callback(Handle(), notice.message, m_context, notice.header);
            }
        }
    }

    WaveCallback m_callback;
    uintptr_t m_context;
    CRITICAL_SECTION m_lock;
    HANDLE m_hWake = nullptr;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadId = 0;
    // Guarded by m_lock.
    Notice m_ring[kRingSize] = {};
    int m_nFirst = 0;
    int m_nCount = 0;
    bool m_bQuit = false;
    bool m_bSilent = false;
    std::atomic<int> m_nResetting{0};
};

const WAVEFORMATEX* AsWaveFormat(const WaveFormatEx* format) { return reinterpret_cast<const WAVEFORMATEX*>(format); }

uint32_t Open(bool input, WaveHandle* handle, uint32_t deviceId, const WaveFormatEx* format, WaveCallback callback,
              uintptr_t context, uint32_t flags)
{
    if (format == nullptr) return kWaveErrInvalidParam;
    if (flags & kWaveOpenQuery) {
        return input ? waveInOpen(nullptr, deviceId, AsWaveFormat(format), 0, 0, flags)
                     : waveOutOpen(nullptr, deviceId, AsWaveFormat(format), 0, 0, flags);
    }
    if (handle == nullptr) return kWaveErrInvalidParam;
    auto* device = new (std::nothrow) WinmmDevice(input, callback, context);
    if (device == nullptr) return kWaveErrNoMemory;
    if (!device->StartForwarding()) {
        device->StopForwarding(true);
        delete device;
        return kWaveErrNoMemory;
    }
    const DWORD_PTR proc = reinterpret_cast<DWORD_PTR>(&WinmmDevice::WinmmCallback);
    const DWORD_PTR instance = reinterpret_cast<DWORD_PTR>(device);
    const MMRESULT result = input ? waveInOpen(&device->m_hWaveIn, deviceId, AsWaveFormat(format), proc, instance,
                                               CALLBACK_FUNCTION | flags)
                                  : waveOutOpen(&device->m_hWaveOut, deviceId, AsWaveFormat(format), proc, instance,
                                                CALLBACK_FUNCTION | flags);
    if (result != MMSYSERR_NOERROR) {
        device->StopForwarding(true);
        delete device;
        return result;
    }
    *handle = device->Handle();
    return kWaveOk;
}

MMRESULT CloseDevice(WinmmDevice& device)
{
    return device.m_bInput ? waveInClose(device.m_hWaveIn) : waveOutClose(device.m_hWaveOut);
}

uint32_t Close(WaveHandle handle)
{
    WinmmDevice* device = WinmmDevice::From(handle);
    if (device == nullptr) return kWaveErrInvalidHandle;
    if (device->OnForwardingThread()) return kWaveErrInvalidParam;
    MMRESULT result = CloseDevice(*device);
    if (result == WAVERR_STILLPLAYING) {
        // A block is still queued (its owner gave up waiting for it): hand it
        // back now, so that its notice is delivered below, before close returns.
        device->Reset();
        result = CloseDevice(*device);
    }
    if (result != MMSYSERR_NOERROR) {
        // The device will not close, but its owner is about to go: nothing
        // may reach the owner any more. The record stays (winmm may still
        // call back into it), a small leak instead of a call into freed memory.
        device->StopForwarding(true);
        return result;
    }
    device->StopForwarding(false);
    delete device;
    return kWaveOk;
}

HWAVEIN In(WaveHandle handle)
{
    WinmmDevice* device = WinmmDevice::From(handle);
    return device != nullptr && device->m_bInput ? device->m_hWaveIn : nullptr;
}

HWAVEOUT Out(WaveHandle handle)
{
    WinmmDevice* device = WinmmDevice::From(handle);
    return device != nullptr && !device->m_bInput ? device->m_hWaveOut : nullptr;
}

// The fields every winmm capability record starts with.
template <class To, class From>
void CopyIdentity(To* to, const From& from)
{
    to->wMid = from.wMid;
    to->wPid = from.wPid;
    to->vDriverVersion = from.vDriverVersion;
    std::memcpy(to->szPname, from.szPname, kDeviceNameChars);
    to->szPname[kDeviceNameChars - 1] = '\0';
}

uint32_t InGetNumDevs() { return waveInGetNumDevs(); }
uint32_t OutGetNumDevs() { return waveOutGetNumDevs(); }
uint32_t AuxGetNumDevs() { return auxGetNumDevs(); }

uint32_t InGetDevCaps(uint32_t deviceId, WaveInCaps* caps)
{
    if (caps == nullptr) return kWaveErrInvalidParam;
    WAVEINCAPSA c = {};
    const MMRESULT result = waveInGetDevCapsA(deviceId, &c, sizeof(c));
    if (result != MMSYSERR_NOERROR) return result;
    CopyIdentity(caps, c);
    caps->dwFormats = c.dwFormats;
    caps->wChannels = c.wChannels;
    caps->wReserved1 = c.wReserved1;
    return kWaveOk;
}

uint32_t OutGetDevCaps(uint32_t deviceId, WaveOutCaps* caps)
{
    if (caps == nullptr) return kWaveErrInvalidParam;
    WAVEOUTCAPSA c = {};
    const MMRESULT result = waveOutGetDevCapsA(deviceId, &c, sizeof(c));
    if (result != MMSYSERR_NOERROR) return result;
    CopyIdentity(caps, c);
    caps->dwFormats = c.dwFormats;
    caps->wChannels = c.wChannels;
    caps->wReserved1 = c.wReserved1;
    caps->dwSupport = c.dwSupport;
    return kWaveOk;
}

uint32_t AuxGetDevCaps(uint32_t deviceId, AuxCaps* caps)
{
    if (caps == nullptr) return kWaveErrInvalidParam;
    AUXCAPSA c = {};
    const MMRESULT result = auxGetDevCapsA(deviceId, &c, sizeof(c));
    if (result != MMSYSERR_NOERROR) return result;
    CopyIdentity(caps, c);
    caps->wTechnology = c.wTechnology;
    caps->wReserved1 = c.wReserved1;
    caps->dwSupport = c.dwSupport;
    return kWaveOk;
}

uint32_t InOpen(WaveHandle* h, uint32_t id, const WaveFormatEx* f, WaveCallback cb, uintptr_t ctx, uint32_t flags)
{
    return Open(true, h, id, f, cb, ctx, flags);
}
uint32_t InPrepare(WaveHandle h, WaveHeader* hdr)
{
    return waveInPrepareHeader(In(h), AsWaveHdr(hdr), sizeof(WAVEHDR));
}
uint32_t InUnprepare(WaveHandle h, WaveHeader* hdr)
{
    return waveInUnprepareHeader(In(h), AsWaveHdr(hdr), sizeof(WAVEHDR));
}
uint32_t InAddBuffer(WaveHandle h, WaveHeader* hdr) { return waveInAddBuffer(In(h), AsWaveHdr(hdr), sizeof(WAVEHDR)); }
uint32_t InStart(WaveHandle h) { return waveInStart(In(h)); }
uint32_t Reset(WaveHandle h)
{
    WinmmDevice* device = WinmmDevice::From(h);
    return device != nullptr ? device->Reset() : kWaveErrInvalidHandle;
}

uint32_t OutOpen(WaveHandle* h, uint32_t id, const WaveFormatEx* f, WaveCallback cb, uintptr_t ctx, uint32_t flags)
{
    return Open(false, h, id, f, cb, ctx, flags);
}
uint32_t OutPrepare(WaveHandle h, WaveHeader* hdr)
{
    return waveOutPrepareHeader(Out(h), AsWaveHdr(hdr), sizeof(WAVEHDR));
}
uint32_t OutUnprepare(WaveHandle h, WaveHeader* hdr)
{
    return waveOutUnprepareHeader(Out(h), AsWaveHdr(hdr), sizeof(WAVEHDR));
}
uint32_t OutWrite(WaveHandle h, WaveHeader* hdr) { return waveOutWrite(Out(h), AsWaveHdr(hdr), sizeof(WAVEHDR)); }
uint32_t OutPause(WaveHandle h) { return waveOutPause(Out(h)); }
uint32_t OutRestart(WaveHandle h) { return waveOutRestart(Out(h)); }

const WaveDeviceTable kWinmmTable = {
    InGetNumDevs, InGetDevCaps, InOpen,        InPrepare,     InUnprepare, InAddBuffer,   InStart,
    Reset,        Close,        OutGetNumDevs, OutGetDevCaps, OutOpen,     OutPrepare,    OutUnprepare,
    OutWrite,     OutPause,     OutRestart,    Reset,         Close,       AuxGetNumDevs, AuxGetDevCaps,
};

} // namespace

const WaveDeviceTable* WinmmWaveDeviceTable() { return &kWinmmTable; }

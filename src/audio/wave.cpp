#include "audio/wave.h"

#include "display/feed_analyser.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const char kCloseMutexName[] = "WAVECLOSEMUTEX";

// Longest wait for the close mutex; a time-out does not stop a write or a close.
constexpr uint32_t kCloseMutexWaitMs = 1000;
// How long a close waits for the device to hand back its blocks: input 100 ms,
// output 20 polls of 50 ms. Both end as soon as every block is back and
// handled, polled at a fine grain so that Stop feels instant.
constexpr uint32_t kInputReturnWaitMs = 100;
constexpr uint32_t kOutputReturnWaitMs = 1000;
constexpr uint32_t kReturnPollMs = 2;

constexpr uint32_t kChannelMaskMono = 0x4;   // front centre
constexpr uint32_t kChannelMaskStereo = 0x3; // front left and right

constexpr int32_t kStateOpen = 1;
constexpr int32_t kStateClosing = 2;

constexpr auto kRelaxed = std::memory_order_relaxed;

int32_t ContainerBits(int bits)
{
    if (bits <= 8) return 8;
    if (bits <= 16) return 16;
    if (bits <= 24) return 24;
    if (bits <= 32) return 32;
    return bits;
}

WaveFormatEx PcmRecord(int rate, int channels, int bits)
{
    WaveFormatEx f;
    f.wFormatTag = kWaveFormatPcm;
    f.nChannels = uint16_t(channels);
    f.nSamplesPerSec = uint32_t(rate);
    f.nAvgBytesPerSec = uint32_t(int64_t(rate) * channels * bits / 8);
    f.nBlockAlign = uint16_t(channels * bits / 8);
    f.wBitsPerSample = uint16_t(bits);
    f.cbSize = 0;
    return f;
}

} // namespace

CWave::CWave(int blockSamples, int channels, int rate, int bits)
    : m_nTotalIn(0),
      m_nTotalOut(0),
      m_hWaveIn(nullptr),
      m_hWaveOut(nullptr),
      m_nChannels(channels < 0 || channels > 2 ? 1 : channels),
      m_nSampleRate(rate < 8000 || rate > 128000 ? 11025 : rate),
      m_nBitsPerSample(bits < 8 || bits > 24 ? 8 : bits),
      m_pStore(nullptr),
      m_nStoreSize(0),
      m_nStorePos(0),
      m_bStoreWrapped(0),
      m_nStoreHeld(0),
      m_nBlockBytes(0),
      m_nInState(kStateOpen),
      m_nOutState(0),
      m_hCloseMutex(nullptr),
      m_pSharedStore(nullptr),
      m_pDevices(GetWaveDeviceTable()),
      m_nBlocksAtDevice(0)
{
    m_nBlockBytes = std::max(0, m_nBitsPerSample / 8 * blockSamples * m_nChannels);
    for (int i = 0; i < kBlockCount; ++i) {
        m_pBlock[i] = static_cast<uint8_t*>(std::calloc(size_t(std::max(m_nBlockBytes, 1)), 1));
        std::memset(&m_Header[i], 0, sizeof m_Header[i]);
    }
    m_hCloseMutex = SyncOpenNamedLock(kCloseMutexName);
}

bool CWave::Created() const
{
    for (const uint8_t* block : m_pBlock)
        if (block == nullptr) return false;
    return m_hCloseMutex != nullptr;
}

CWave::~CWave()
{
    // The owner closes first; a device left open must not call into freed memory.
    if (m_hWaveIn != nullptr) CloseInput();
    if (m_hWaveOut != nullptr) CloseOutput();
    for (uint8_t* block : m_pBlock) std::free(block);
    SyncCloseLock(m_hCloseMutex);
}

WaveFormatExtensible CWave::DeviceFormat() const
{
    WaveFormatExtensible f;
    std::memset(&f, 0, sizeof f);
    f.Format = PcmRecord(m_nSampleRate, m_nChannels, m_nBitsPerSample);
    if (m_nBitsPerSample >= 24) {
        f.Format.wFormatTag = kWaveFormatExtensible;
        f.Format.cbSize = kExtensibleExtraBytes;
        f.wValidBitsPerSample = uint16_t(m_nBitsPerSample);
        f.dwChannelMask = m_nChannels == 1 ? kChannelMaskMono : kChannelMaskStereo;
        f.SubFormat = kPcmSubFormat;
    }
    return f;
}

void CWave::InitHeader(int index)
{
    WaveHeader& h = m_Header[index];
    h.lpData = reinterpret_cast<char*>(m_pBlock[index]);
    h.dwBufferLength = uint32_t(m_nBlockBytes);
    h.dwBytesRecorded = 0;
    h.dwUser = uintptr_t(index);
    h.dwLoops = 0;
    h.lpNext = nullptr;
    h.reserved = 0;
    StoreHeaderFlags(h, 0);
}

int CWave::HeaderIndex(const WaveHeader* header) const
{
    if (header == nullptr || header->dwUser >= uintptr_t(kBlockCount)) return -1;
    const int i = int(header->dwUser);
    return header == &m_Header[i] ? i : -1;
}

// What the device did with a done block, never more than the block.
int32_t CWave::HandledBytes(const WaveHeader& header) const
{
    return int32_t(std::min<int64_t>(header.dwBytesRecorded, std::max(m_nBlockBytes, 0)));
}

// Blocks at the device are counted up before they are queued, so the count
// never reads 0 while a completion is still to come.
bool CWave::WaitForBlocksBack(uint32_t limitMs) const
{
    const int64_t start = SyncCounter();
    const int64_t limit = SyncCounterFrequency() / 1000 * limitMs;
    while (m_nBlocksAtDevice.load(std::memory_order_acquire) > 0) {
        if (SyncCounter() - start >= limit) return false;
        SyncSleep(kReturnPollMs);
    }
    return true;
}

// ---------------------------------------------------------------- input

void CWave::SetInputStore(SharedStore* shared)
{
    m_pSharedStore = shared;
    uint8_t* const store = shared != nullptr ? shared->pBuffer : nullptr;
    const int32_t size = shared != nullptr ? shared->nSize : 0;
    m_pStore = store;
    m_nStoreSize = size;
    m_nStorePos.store(0, kRelaxed);
    m_bStoreWrapped.store(0, kRelaxed);
    m_nStoreHeld.store(0, kRelaxed);
    if (store != nullptr && size > 0 && m_nBitsPerSample == 8) std::memset(store, 128, size_t(size));
}

uint32_t CWave::QueueInput(int index)
{
    m_nBlocksAtDevice.fetch_add(1);
    const uint32_t result = m_pDevices->inAddBuffer(m_hWaveIn, &m_Header[index]);
    if (result != kWaveOk) m_nBlocksAtDevice.fetch_sub(1);
    return result;
}

uint32_t CWave::OpenInput(uint32_t deviceId)
{
    WaveFormatExtensible format = DeviceFormat();
    WaveHandle device = nullptr;
    uint32_t result = m_pDevices->inOpen(&device, deviceId, &format.Format, &CWave::InputCallback,
                                         reinterpret_cast<uintptr_t>(this), 0);
    if (result != kWaveOk) return result;
    m_hWaveIn = device;
    for (int i = 0; i < kBlockCount; ++i) {
        InitHeader(i);
        m_pDevices->inPrepareHeader(device, &m_Header[i]);
        result = QueueInput(i);
    }
    if (result == kWaveOk) {
        m_nInState.store(kStateOpen);
        return kWaveOk;
    }
    // A device that could not take its blocks is not left open half-ready.
    CloseInput();
    return result;
}

uint32_t CWave::StartInput() { return m_pDevices->inStart(m_hWaveIn); }

uint32_t CWave::CloseInput()
{
    {
        std::lock_guard<std::mutex> lock(m_InputQueueLock);
        m_nInState.store(kStateClosing);
    }
    if (m_hWaveIn == nullptr) return kWaveOk;
    // Every queued block comes back through OnInputMessage and stays back.
    m_pDevices->inReset(m_hWaveIn);
    WaitForBlocksBack(kInputReturnWaitMs);
    for (WaveHeader& h : m_Header) m_pDevices->inUnprepareHeader(m_hWaveIn, &h);
    const uint32_t result = m_pDevices->inClose(m_hWaveIn);
    m_hWaveIn = nullptr;
    return result;
}

void CWave::InputCallback(WaveHandle, uint32_t message, uintptr_t context, WaveHeader* header)
{
    reinterpret_cast<CWave*>(context)->OnInputMessage(message, header);
}

void CWave::OnInputMessage(uint32_t message, WaveHeader* header)
{
    if (message != kWaveInData) return;
    const int i = HeaderIndex(header);
    if (i < 0) return;
    const int32_t block = m_nBlockBytes;
    // Only what the device really recorded counts: a block that a reset hands
    // back holds part of a block, or nothing at all.
    const int32_t recorded = HandledBytes(*header);
    // A store that cannot hold one whole block counts as absent: it is never written.
    const bool stored = recorded > 0 && m_pStore != nullptr && m_nStoreSize >= block && m_pBlock[i] != nullptr;
    if (stored) StoreRecorded(m_pBlock[i], recorded);
    m_nTotalIn.fetch_add(recorded, kRelaxed);

    if (LoadHeaderFlags(*header) & kHeaderDone) {
        std::lock_guard<std::mutex> lock(m_InputQueueLock);
        if (m_nInState.load() != kStateClosing) {
            m_pDevices->inUnprepareHeader(m_hWaveIn, header);
            InitHeader(i);
            m_pDevices->inPrepareHeader(m_hWaveIn, header);
            QueueInput(i);
        }
    }
    m_nBlocksAtDevice.fetch_sub(1, std::memory_order_release);
}

void CWave::StoreRecorded(const uint8_t* data, int32_t bytes)
{
    int32_t pos = m_nStorePos.load(kRelaxed);
    int32_t held = m_nStoreHeld.load(kRelaxed);
    // Wrap before a whole block would reach the end, so that a block always
    // starts with a block's room after it; the last stretch of the store (even
    // one of exactly a block) is never written. The sound held is then the
    // lap just finished, up to where it ended.
    if (int64_t(pos) + m_nBlockBytes >= m_nStoreSize) {
        m_bStoreWrapped.store(1, kRelaxed);
        m_pSharedStore->bWrapped.store(1, kRelaxed);
        held = pos;
        pos = 0;
    }
    std::memcpy(m_pStore + pos, data, size_t(bytes));
    m_pSharedStore->nDelivered.fetch_add(bytes, kRelaxed);
    // A part block is followed at once by the next, so the store has no gap.
    const int32_t end = pos + bytes;
    held = std::max(held, end);
    m_nStoreHeld.store(held, kRelaxed);
    m_pSharedStore->nBytes.store(std::min(held, m_nStoreSize), kRelaxed);
    m_pSharedStore->nEnd.store(end, kRelaxed);
    FeedAnalyser(pos, kFeedInput);
    m_nStorePos.store(end, kRelaxed);
}

// ---------------------------------------------------------------- output

void CWave::SetPlaybackStore(SharedStore* store) { m_pSharedStore = store; }

void CWave::SetOutputSource(uint8_t* source, int32_t size)
{
    m_pStore = source;
    m_nStoreSize = size;
    m_nStorePos.store(0, kRelaxed);
    m_nStoreHeld.store(std::max(size, 0), kRelaxed);
}

uint32_t CWave::OpenOutput(uint32_t deviceId)
{
    WaveFormatExtensible format = DeviceFormat();
    WaveHandle device = nullptr;
    const uint32_t result = m_pDevices->outOpen(&device, deviceId, &format.Format, &CWave::OutputCallback,
                                                reinterpret_cast<uintptr_t>(this), 0);
    if (result != kWaveOk) return result;
    m_hWaveOut = device;
    for (int i = 0; i < kBlockCount; ++i) {
        InitHeader(i);
        if (m_pDevices->outPrepareHeader(device, &m_Header[i]) != kWaveOk) break;
    }
    m_nOutState.store(kStateOpen);
    return kWaveOk;
}

int CWave::StartOutput()
{
    m_nStorePos.store(0, kRelaxed);
    m_bStoreWrapped.store(0, kRelaxed);
    // Paused while the ring is queued, so the device starts with 8 blocks in hand.
    m_pDevices->outPause(m_hWaveOut);
    for (int i = 0; i < kBlockCount; ++i) WriteBlock(i);
    m_pDevices->outRestart(m_hWaveOut);
    return 1;
}

void CWave::FillFromSource(int index)
{
    uint8_t* dst = m_pBlock[index];
    int32_t need = m_nBlockBytes;
    if (dst == nullptr || need <= 0) return;
    if (m_pStore == nullptr || m_nStoreSize <= 0) {
        std::memset(dst, m_nBitsPerSample == 8 ? 128 : 0, size_t(need));
        return;
    }
    const int32_t size = m_nStoreSize;
    int32_t pos = m_nStorePos.load(kRelaxed);
    if (pos < 0 || pos > size) pos = 0;
    if (int64_t(pos) + need <= size) {
        std::memcpy(dst, m_pStore + pos, size_t(need));
        m_nStorePos.store(pos + need, kRelaxed);
        return;
    }
    // The block runs over the end of the source: copy its tail, then go on
    // from the start, so the source repeats without a gap. A source shorter
    // than one block is repeated as many times as it takes to fill the block,
    // and is never read past its end.
    while (need > 0) {
        if (pos == size) {
            pos = 0;
            m_bStoreWrapped.store(1, kRelaxed);
        }
        const int32_t n = std::min(need, size - pos);
        std::memcpy(dst, m_pStore + pos, size_t(n));
        dst += n;
        need -= n;
        pos += n;
    }
    m_nStorePos.store(pos, kRelaxed);
}

int CWave::WriteBlock(int index)
{
    if (index < 0 || index >= kBlockCount) return 1;
    FeedAnalyser(m_nStorePos.load(kRelaxed), kFeedOutput);
    FillFromSource(index);
    // Marking the object closing and queueing a block exclude each other, so
    // nothing is queued once CloseOutput has reset the device.
    const bool locked = SyncLockWait(m_hCloseMutex, kCloseMutexWaitMs);
    if (m_nOutState.load() != kStateClosing) {
        m_nBlocksAtDevice.fetch_add(1);
        if (m_pDevices->outWrite(m_hWaveOut, &m_Header[index]) != kWaveOk) m_nBlocksAtDevice.fetch_sub(1);
    }
    if (locked) SyncUnlock(m_hCloseMutex);
    return 1;
}

uint32_t CWave::CloseOutput()
{
    if (m_hWaveOut == nullptr) return kWaveOk;
    const bool locked = SyncLockWait(m_hCloseMutex, kCloseMutexWaitMs);
    m_nOutState.store(kStateClosing);
    m_pDevices->outReset(m_hWaveOut);
    if (locked) SyncUnlock(m_hCloseMutex);
    WaitForBlocksBack(kOutputReturnWaitMs);
    for (WaveHeader& h : m_Header) m_pDevices->outUnprepareHeader(m_hWaveOut, &h);
    const uint32_t result = m_pDevices->outClose(m_hWaveOut);
    m_hWaveOut = nullptr;
    return result;
}

void CWave::OutputCallback(WaveHandle, uint32_t message, uintptr_t context, WaveHeader* header)
{
    reinterpret_cast<CWave*>(context)->OnOutputMessage(message, header);
}

void CWave::CopyToPlaybackStore(int index, int32_t played)
{
    if (played <= 0) return;
    // Everything the device played counts, whether or not the store keeps
    // it: the output rates are taken from this total.
    m_nTotalOut.fetch_add(played, kRelaxed);
    SharedStore* const shared = m_pSharedStore;
    uint8_t* const store = shared != nullptr ? shared->pBuffer : nullptr;
    const int32_t size = shared != nullptr ? shared->nSize : 0;
    if (store == nullptr || size <= 0 || m_pBlock[index] == nullptr) return; // nothing kept for display
    shared->nDelivered.fetch_add(played, kRelaxed);
    int32_t pos = shared->nPos.load(kRelaxed);
    if (pos < 0 || pos >= size) pos = 0;
    if (int64_t(pos) + played <= size) {
        std::memcpy(store + pos, m_pBlock[index], size_t(played));
        pos += played;
        if (pos == size) {
            pos = 0;
            shared->bWrapped.store(1, kRelaxed);
        }
        shared->nPos.store(pos, kRelaxed);
        const int64_t held = int64_t(shared->nBytes.load(kRelaxed)) + played;
        shared->nBytes.store(int32_t(std::min<int64_t>(held, size)), kRelaxed);
    } else {
        // Only the part that fits is kept for display; the rest is dropped.
        const int32_t fits = size - pos;
        std::memcpy(store + pos, m_pBlock[index], size_t(fits));
        shared->nPos.store(0, kRelaxed);
        shared->bWrapped.store(1, kRelaxed);
        shared->nBytes.store(size, kRelaxed);
    }
}

void CWave::OnOutputMessage(uint32_t message, WaveHeader* header)
{
    if (message != kWaveOutDone) return;
    const int i = HeaderIndex(header);
    if (i < 0) return;
    // Only what the device really played counts: a block that a reset hands
    // back was played in part, or not at all.
    CopyToPlaybackStore(i, HandledBytes(*header));
    if ((LoadHeaderFlags(*header) & kHeaderDone) && m_nOutState.load() != kStateClosing) {
        m_pDevices->outUnprepareHeader(m_hWaveOut, header);
        InitHeader(i);
        m_pDevices->outPrepareHeader(m_hWaveOut, header);
        WriteBlock(i);
    }
    m_nBlocksAtDevice.fetch_sub(1, std::memory_order_release);
}

// ---------------------------------------------------------------- status

int CWave::GetStoreStatus(int* percent, int* bytes, float* seconds, int* position) const
{
    const int32_t pos = m_nStorePos.load(kRelaxed);
    int p = 0;
    int b = pos;
    if (m_bStoreWrapped.load(kRelaxed)) {
        p = 100;
        b = m_nStoreHeld.load(kRelaxed);
    } else if (m_nStoreSize > 0) {
        p = int(int64_t(pos) * 100 / m_nStoreSize);
    }
    const int bytesPerSample = m_nBitsPerSample / 8;
    float s = 0.0f;
    if (m_nChannels > 0 && bytesPerSample > 0 && m_nSampleRate > 0)
        s = float(b) / float(m_nChannels) / float(bytesPerSample) / float(m_nSampleRate);
    if (percent) *percent = p;
    if (bytes) *bytes = b;
    if (seconds) *seconds = s;
    if (position) *position = pos;
    return p;
}

// ---------------------------------------------------------------- capabilities

void CWave::GetAuxCaps(uint32_t deviceId, AuxCaps* caps) const
{
    if (caps == nullptr) return;
    std::memset(caps, 0, sizeof *caps);
    m_pDevices->auxGetDevCaps(deviceId, caps);
}

void CWave::GetInputCaps(uint32_t deviceId, WaveInCaps* caps) const
{
    if (caps == nullptr) return;
    std::memset(caps, 0, sizeof *caps);
    m_pDevices->inGetDevCaps(deviceId, caps);
}

void CWave::GetOutputCaps(uint32_t deviceId, WaveOutCaps* caps) const
{
    if (caps == nullptr) return;
    std::memset(caps, 0, sizeof *caps);
    m_pDevices->outGetDevCaps(deviceId, caps);
}

uint32_t CWave::GetInputDeviceCount() const { return m_pDevices->inGetNumDevs(); }
uint32_t CWave::GetOutputDeviceCount() const { return m_pDevices->outGetNumDevs(); }
uint32_t CWave::GetAuxDeviceCount() const { return m_pDevices->auxGetNumDevs(); }

uint32_t CWave::QueryFormat(uint32_t deviceId, int direction, int rate, int channels, int bits,
                            uint32_t channelMask) const
{
    if (direction != 0 && direction != 1) return 1;
    const auto open = direction == 0 ? m_pDevices->inOpen : m_pDevices->outOpen;
    // Ask the driver itself: no conversion by the system's mapper.
    const uint32_t flags = kWaveOpenQuery | kWaveOpenDirect;

    WaveFormatExtensible format;
    std::memset(&format, 0, sizeof format);
    format.Format = PcmRecord(rate, channels, bits);
    const uint32_t result = open(nullptr, deviceId, &format.Format, nullptr, 0, flags);
    if (result == kWaveOk) return result;

    format.Format.wFormatTag = kWaveFormatExtensible;
    format.Format.wBitsPerSample = uint16_t(ContainerBits(bits));
    format.Format.cbSize = kExtensibleExtraBytes;
    format.wValidBitsPerSample = uint16_t(bits);
    format.dwChannelMask = channelMask;
    format.SubFormat = kPcmSubFormat;
    return open(nullptr, deviceId, &format.Format, nullptr, 0, flags);
}

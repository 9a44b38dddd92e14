#include "audio/session_rules.h"

#include "app/app_state.h"
#include "app/format_settings.h"
#include "tones/tone_synth.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

} // namespace

// ---------------------------------------------------------------- the guard

bool SessionGuard::Begin()
{
    std::lock_guard<std::mutex> lk(m_mutex);
    if (m_phase != SessionPhase::Idle)
        return false;
    m_phase = SessionPhase::Starting;
    m_startOutcome = SessionPhase::Starting;
    m_stopAsked = false;
    return true;
}

bool SessionGuard::DeviceStarted()
{
    std::lock_guard<std::mutex> lk(m_mutex);
    m_phase = SessionPhase::Running;
    m_startOutcome = SessionPhase::Running;
    if (!m_stopAsked)
        m_running.store(1);
    m_changed.notify_all();
    return !m_stopAsked;
}

void SessionGuard::StartFailed()
{
    std::lock_guard<std::mutex> lk(m_mutex);
    m_phase = SessionPhase::Failed;
    m_startOutcome = SessionPhase::Failed;
    m_changed.notify_all();
}

void SessionGuard::End()
{
    std::lock_guard<std::mutex> lk(m_mutex);
    m_running.store(0);
    m_phase = SessionPhase::Idle;
    m_stopAsked = false;
    m_changed.notify_all();
}

SessionPhase SessionGuard::Stop()
{
    std::lock_guard<std::mutex> lk(m_mutex);
    if (m_phase == SessionPhase::Running)
        m_running.store(0);
    else if (m_phase == SessionPhase::Starting)
        m_stopAsked = true;
    return m_phase;
}

SessionPhase SessionGuard::WaitForStart(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lk(m_mutex);
    m_changed.wait_for(lk, std::chrono::milliseconds(timeoutMs),
                       [this] { return m_startOutcome != SessionPhase::Starting; });
    return m_startOutcome;
}

bool SessionGuard::WaitIdle(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lk(m_mutex);
    return m_changed.wait_for(lk, std::chrono::milliseconds(timeoutMs),
                              [this] { return m_phase == SessionPhase::Idle; });
}

SessionPhase SessionGuard::Phase() const
{
    std::lock_guard<std::mutex> lk(m_mutex);
    return m_phase;
}

// ---------------------------------------------------------------- commands

void ResetRecordingSide()
{
    g_nRecordedBytes.store(0, kRelaxed);
    g_nInputPos.store(0, kRelaxed);
    g_nInputEnd.store(0, kRelaxed);
    g_bInputWrapped.store(0, kRelaxed);
    if (g_pInputBuffer != nullptr && g_nInputBufferSize > 0)
        std::memset(g_pInputBuffer, SilenceValue(), size_t(g_nInputBufferSize));
}

void ResetPlaybackSide()
{
    g_nOutputBytes.store(0, kRelaxed);
    g_nOutputPos.store(0, kRelaxed);
    g_bOutputWrapped.store(0, kRelaxed);
    if (g_nBitsPerSample == 8 && g_pOutputBuffer != nullptr && g_nOutputBufferSize > 0)
        std::memset(g_pOutputBuffer, 128, size_t(g_nOutputBufferSize));
}

bool CopyRecordingToPlaybackSource()
{
    const int32_t bytes = std::min(g_nRecordedBytes.load(kRelaxed), g_nInputBufferSize);
    if (g_pInputBuffer == nullptr || bytes <= 0) {
        FreePlaybackSource();
        return false;
    }
    uint8_t* source = AllocatePlaybackSource(bytes);
    if (source == nullptr)
        return false;
    std::memcpy(source, g_pInputBuffer, size_t(bytes));
    return true;
}

// ---------------------------------------------------------------- Stop

void RotateStore(uint8_t* store, int32_t bytes, int32_t pos)
{
    if (store == nullptr || bytes <= 0 || pos <= 0 || pos >= bytes)
        return;
    // In place: the same order as copying [pos, bytes) and then [0, pos) to
    // a temporary and back, without a second store-sized allocation.
    std::rotate(store, store + pos, store + bytes);
}

void RotateStoresAtStop(bool captureStopped, bool playbackStopped)
{
    if (captureStopped && g_bInputWrapped.load(kRelaxed)) {
        // Around the end of the newest byte: what lies after it, up to the
        // end of the sound held, is the oldest. The stretch past that end,
        // which no block reached, is left out of g_nRecordedBytes.
        const int32_t bytes = std::min(g_nRecordedBytes.load(kRelaxed), g_nInputBufferSize);
        RotateStore(g_pInputBuffer, bytes, g_nInputEnd.load(kRelaxed));
        g_nInputEnd.store(bytes, kRelaxed);
    }
    if (playbackStopped && g_bOutputWrapped.load(kRelaxed)) {
        const int32_t bytes = std::min(g_nOutputBytes.load(kRelaxed), g_nOutputBufferSize);
        RotateStore(g_pOutputBuffer, bytes, g_nOutputPos.load(kRelaxed));
    }
}

int32_t ViewPosAtStop(bool captureStopped, bool playbackStopped, int32_t current,
                      int32_t blockBytes)
{
    if (playbackStopped)
        return g_nOutputBytes.load(kRelaxed) - blockBytes;
    if (captureStopped)
        return g_nRecordedBytes.load(kRelaxed) - blockBytes;
    return current;
}

StopScrollBar ScrollBarAtStop(int32_t viewPos, int32_t blockBytes, float zoom)
{
    StopScrollBar bar = {false, 0, 0, 0, 0};
    if (viewPos <= 0)
        return bar;
    bar.bSet = true;
    bar.nMax = viewPos;
    bar.nPage = int32_t(float(blockBytes) * zoom);
    bar.nPos = viewPos;
    return bar;
}

#include "audio/session_guard.h"

#include <chrono>

bool SessionGuard::Begin()
{
    std::lock_guard<std::mutex> lk(m_mutex);
    if (m_phase != SessionPhase::Idle) return false;
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
    if (!m_stopAsked) m_running.store(1);
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

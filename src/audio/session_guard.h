// The one-session guard of each direction: which phase the capture or the
// playback session is in, and the running flag moved under its lock.
//
// Portable core, used by the sessions (sessions.h).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// Where one direction's session stands.
// - Idle: no session; a command may begin one.
// - Starting: a command has begun it and its thread is opening the device;
//   the running flag is still clear.
// - Running: the thread has started the device (the flag is set), or it
//   opened the device while a Stop was asked and is closing it again.
// - Failed: the device could not be had; the thread is reporting that and
//   will end without a done event.
enum class SessionPhase { Idle, Starting, Running, Failed };

// Keeps to one session per direction. The running flag is written only under
// the guard's lock while a command, a thread or Stop moves the phase, so a
// Stop that arrives while the thread starts its device is never lost: either
// Stop finds the flag set and clears it, or the thread finds the stop asked
// and never sets it.
class SessionGuard {
public:
    explicit SessionGuard(std::atomic<int32_t>& runningFlag) : m_running(runningFlag) {}
    SessionGuard(const SessionGuard&) = delete;
    SessionGuard& operator=(const SessionGuard&) = delete;

    // Command: Idle -> Starting. False while a session of this direction is
    // under way in any phase (a second Record or tone command).
    bool Begin();
    // Thread, device started: Starting -> Running and the running flag set.
    // False when a Stop was asked meanwhile: the flag stays clear and the
    // thread closes the device at once (the phase is still Running, so the
    // Stop waits for that close).
    bool DeviceStarted();
    // Thread, the device could not be opened: Starting -> Failed.
    void StartFailed();
    // Thread, last step: the flag cleared, back to Idle.
    void End();

    // Stop: Running -> the flag cleared; Starting -> a stop is asked. Returns
    // the phase it found.
    SessionPhase Stop();

    // Waits while the session is starting, at most timeoutMs. Returns how the
    // start of the session begun last turned out: Running (the device was
    // opened; its close will set the done event), Failed, Starting (still
    // opening when the time ran out), or Idle when none was ever begun.
    SessionPhase WaitForStart(uint32_t timeoutMs);
    // Waits until the phase is Idle, at most timeoutMs; true once it is.
    bool WaitIdle(uint32_t timeoutMs);

    SessionPhase Phase() const;
    bool Active() const { return Phase() != SessionPhase::Idle; }

private:
    std::atomic<int32_t>& m_running;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    SessionPhase m_phase = SessionPhase::Idle;
    SessionPhase m_startOutcome = SessionPhase::Idle;
    bool m_stopAsked = false;
};

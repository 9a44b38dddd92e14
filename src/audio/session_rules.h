// The rules of the capture and playback sessions that need no window: the
// one-session guard, the store resets of the Record and Playback commands,
// and what Stop does to the stores, the view position and the scroll bar.
//
// Portable core. The Win32 side (sessions_win.cpp) owns the threads, the
// timers, the events and the message boxes and calls these.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// ---------------------------------------------------------------- the guard

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

// ---------------------------------------------------------------- commands

// Record while a playback runs: only the recording side is reset (count,
// position and wrapped flag to 0, the store to silence).
void ResetRecordingSide();

// Playback command: the playback store's count, position and wrapped flag
// to 0; at 8 bits the store is filled with 128. Other resolutions keep the
// old bytes until they are overwritten.
void ResetPlaybackSide();

// Playback command: replaces the playback source with a copy of the first
// g_nRecordedBytes bytes of the recording store. False when nothing could be
// copied (no recording store, or no memory for the source); the source is
// then absent.
bool CopyRecordingToPlaybackSource();

// ---------------------------------------------------------------- Stop

// Puts a ring store into reading order in place: the bytes from pos up to
// bytes, followed by the bytes from 0 up to pos. A null store, a length of
// 0 or less, or a position outside 1 .. bytes-1 leave it as it is.
void RotateStore(uint8_t* store, int32_t bytes, int32_t pos);

// Rotates the recording store (around g_nInputEnd, g_nRecordedBytes bytes:
// oldest byte first, newest last) when it has wrapped and this Stop ended
// the capture session, and the playback store (around g_nOutputPos,
// g_nOutputBytes bytes) when it has wrapped and this Stop ended the playback
// session. A store is put in order
// once per session that filled it: a Stop with nothing running, or one that
// ended only the other session, leaves it alone.
void RotateStoresAtStop(bool captureStopped, bool playbackStopped);

// The view position after Stop: the playback store's bytes minus one block
// when a playback was ended, else the recording store's bytes minus one
// block when a recording was ended, else `current`. May be below 0.
int32_t ViewPosAtStop(bool captureStopped, bool playbackStopped, int32_t current,
                      int32_t blockBytes);

// Scroll bar 1059 after Stop: enabled over 0 .. viewPos, one page of
// truncate(block bytes x zoom), the thumb at viewPos, so that the view starts
// at the end of the stored sound. Left alone when viewPos is not above 0.
struct StopScrollBar {
    bool bSet;
    int32_t nMin;
    int32_t nMax;
    int32_t nPage;
    int32_t nPos;
};
StopScrollBar ScrollBarAtStop(int32_t viewPos, int32_t blockBytes, float zoom);

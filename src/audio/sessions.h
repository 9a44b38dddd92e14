// Capture and playback sessions: a worker thread per direction that owns one
// CWave from open to close, and the Stop that ends both.
//
// Portable core. The sessions show nothing and touch no window: they report
// what happened to a SessionListener (the main window implements one), and
// the window decides what to show, grey, clear and time.
//
// How a session runs:
// - BeginSession (user-interface thread) begins the session in its guard,
//   starts the thread and waits until the thread has started the device or
//   found that it cannot. A second begin of that direction therefore always
//   meets a session that is under way and starts nothing.
// - The thread owns its CWave from open to close. Once the device runs it
//   sets the running flag (through the guard), reports Running, and then
//   waits on its wake event, looking at the flag at least every 50 ms.
// - StopSessions clears the flags, wakes both threads and waits for each
//   done event (set once the device is closed), then for the thread's last
//   steps, so that when it returns the sessions it ended are over. Only then
//   are the stores put in reading order: no completion can write a store
//   while it is rotated.
// - A thread that cannot open its device reports Failed with the reason and
//   sets no done event. Every thread reports Ended as its last step, after it
//   has left its guard: the Ended of a session a Stop ended may arrive just
//   after the Stop returns, even after a new session of that direction has
//   begun. Listeners therefore act on the state as it is, not on the notice.
#pragma once

#include "state/stores.h"

enum class SessionKind { Capture, Playback };
enum class SessionNotice {
    Running, // the device runs and the running flag is set
    Failed,  // the session could not start; failure says why
    Ended,   // the thread has finished: its device is closed and its CWave gone
};
enum class SessionFailure {
    None,
    NoObject,      // no CWave could be made, or no thread started
    FormatRefused, // the device does not take the format (open result 32)
    OpenFailed,    // the device could not be opened for another reason
};

struct SessionReport {
    SessionKind kind;
    SessionNotice notice;
    SessionFailure failure;
};

class SessionListener {
public:
    virtual ~SessionListener() = default;
    // Called on the session's thread (on the caller's when no thread could be
    // started); must return quickly and must not wait for a session.
    virtual void OnSessionReport(const SessionReport& report) = 0;
};

// The listener that hears every report; null: reports go nowhere. Returns
// once a report under way has been made, so the old listener is not called
// afterwards.
void SetSessionListener(SessionListener* listener);

// User-interface thread. Begins a session of that kind and returns once its
// device runs or its start has failed (both reported). False, with nothing
// done, while a session of that kind is under way. A capture records into
// the recording store; a playback plays the playback source in a loop and
// copies what it played into the playback store.
bool BeginSession(SessionKind kind);

// Which sessions a Stop ended: those whose device had been opened.
struct StopOutcome {
    bool bCaptureStopped;
    bool bPlaybackStopped;
};

// User-interface thread. Ends both sessions and waits for them (at most 5 s
// for a start to finish, 5 s for each device to close and 1 s for the
// thread's last steps), sets g_nViewPos over the store of what was ended and
// rotates the wrapped stores of the ended sessions.
StopOutcome StopSessions();

// A session of that direction is under way: starting, running, closing, or
// reporting a failed start. At most one of each exists at a time.
bool CaptureSessionActive();
bool PlaybackSessionActive();

// Under way as the commands see it: the running flag is set or the session
// is active.
struct SessionsUnderWay {
    bool bCapture;
    bool bPlayback;
};
SessionsUnderWay SessionsUnderWayNow();

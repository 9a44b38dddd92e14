#include "audio/sessions.h"

#include <atomic>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "audio/session_guard.h"
#include "audio/wave.h"
#include "platform/sync.h"
#include "state/session_state.h"
#include "state/sound_format.h"

namespace {

// How long Stop waits for each thread to close its device; a time-out is not
// reported, Stop goes on as if the thread had finished.
constexpr uint32_t kCloseWaitMs = 5000;
// After the done event only the thread's last few steps remain.
constexpr uint32_t kEndWaitMs = 1000;
// How long a begin waits for its thread to open and start the device.
constexpr uint32_t kStartWaitMs = 5000;
// The longest a session thread goes without looking at its running flag
// (the lost-device rule clears g_bPlaying without waking the thread).
constexpr uint32_t kFlagPollMs = 50;

// Held while a report is made, so that a listener that is taken away is
// never called afterwards.
std::mutex s_listenerLock;
SessionListener* s_listener = nullptr;

// What differs between the two directions; the thread and the commands are
// the same for both.
struct Direction {
    SessionKind kind;
    SessionGuard guard;
    std::atomic<int32_t>& running;
    std::atomic<CWave*>& wave;
    SyncEvent*& done;
    const uint32_t& deviceId;
    // Attaches the stores and opens the device; the device's result code.
    uint32_t (*open)(CWave& wave, uint32_t deviceId);
    void (*start)(CWave& wave);
    void (*close)(CWave& wave);
    // Auto-reset: Stop sets it so that the thread looks at its flag at once.
    // Made by the user-interface thread before the first thread waits on it.
    SyncEvent* wake = nullptr;

    Direction(SessionKind k, std::atomic<int32_t>& flag, std::atomic<CWave*>& object, SyncEvent*& doneEvent,
              const uint32_t& device, uint32_t (*openFn)(CWave&, uint32_t), void (*startFn)(CWave&),
              void (*closeFn)(CWave&))
        : kind(k),
          guard(flag),
          running(flag),
          wave(object),
          done(doneEvent),
          deviceId(device),
          open(openFn),
          start(startFn),
          close(closeFn)
    {
    }
};

uint32_t OpenCapture(CWave& wave, uint32_t deviceId)
{
    wave.SetInputStore(&g_RecordingStore);
    return wave.OpenInput(deviceId);
}

// CWave repeats a source shorter than one block within the block and never
// reads past its end; an absent source plays silence.
uint32_t OpenPlayback(CWave& wave, uint32_t deviceId)
{
    wave.SetOutputSource(g_pPlaybackSource, g_nPlaybackSourceSize);
    wave.SetPlaybackStore(&g_PlaybackStore);
    return wave.OpenOutput(deviceId);
}

void StartCapture(CWave& wave) { wave.StartInput(); }
// The ring is queued and the device running before the flag is set, so that
// the waiting command returns to a playback that really plays.
void StartPlayback(CWave& wave) { wave.StartOutput(); }
void CloseCapture(CWave& wave) { wave.CloseInput(); }
void ClosePlayback(CWave& wave) { wave.CloseOutput(); }

Direction s_capture(SessionKind::Capture, g_bRecording, g_pWaveIn, g_hCaptureDoneEvent, g_nInputDeviceId, &OpenCapture,
                    &StartCapture, &CloseCapture);
Direction s_playback(SessionKind::Playback, g_bPlaying, g_pWaveOut, g_hPlaybackDoneEvent, g_nOutputDeviceId,
                     &OpenPlayback, &StartPlayback, &ClosePlayback);

Direction& DirectionOf(SessionKind kind) { return kind == SessionKind::Capture ? s_capture : s_playback; }

void Report(const Direction& d, SessionNotice notice, SessionFailure failure = SessionFailure::None)
{
    std::lock_guard<std::mutex> lock(s_listenerLock);
    if (s_listener) s_listener->OnSessionReport({d.kind, notice, failure});
}

// The start has failed: reported before the thread's last step, so that a
// waiting command or Stop goes on at once.
void Fail(Direction& d, SessionFailure failure)
{
    d.guard.StartFailed();
    Report(d, SessionNotice::Failed, failure);
}

// The thread's last step, on every path.
void End(Direction& d)
{
    d.guard.End();
    Report(d, SessionNotice::Ended);
}

void SessionThread(Direction* direction)
{
    Direction& d = *direction;
    CWave* wave = new (std::nothrow) CWave(g_nBlockSize, g_nChannels, g_nSampleRate, g_nBitsPerSample);
    if (wave == nullptr || !wave->Created()) {
        delete wave;
        Fail(d, SessionFailure::NoObject);
        End(d);
        return;
    }
    d.wave = wave;
    const uint32_t result = d.open(*wave, d.deviceId);
    if (result != kWaveOk) {
        Fail(d, result == kWaveErrBadFormat ? SessionFailure::FormatRefused : SessionFailure::OpenFailed);
        d.wave = nullptr;
        delete wave;
        End(d);
        return;
    }

    d.start(*wave);
    if (d.guard.DeviceStarted()) {
        Report(d, SessionNotice::Running);
        while (d.running.load()) SyncWaitEvent(d.wake, kFlagPollMs);
    }
    d.close(*wave);
    // Set only once the device is closed: Stop goes on when it sees it.
    SyncSetEvent(d.done);
    // Cleared before the object goes, so that nothing reads a freed object.
    d.wave = nullptr;
    delete wave;
    End(d);
}

// Waits until a session Stop has found is closed. Returns whether this Stop
// ended a session whose device had been opened.
bool AwaitClose(Direction& d, SessionPhase found)
{
    if (found == SessionPhase::Starting) found = d.guard.WaitForStart(kCloseWaitMs);
    if (found != SessionPhase::Running) return false;
    if (SyncWaitEvent(d.done, kCloseWaitMs)) d.guard.WaitIdle(kEndWaitMs);
    SyncResetEvent(d.done);
    return true;
}

} // namespace

void SetSessionListener(SessionListener* listener)
{
    std::lock_guard<std::mutex> lock(s_listenerLock);
    s_listener = listener;
}

bool BeginSession(SessionKind kind)
{
    Direction& d = DirectionOf(kind);
    if (d.running.load() || !d.guard.Begin()) return false;
    if (d.done == nullptr) d.done = SyncCreateEvent(true, false);
    if (d.wake == nullptr) d.wake = SyncCreateEvent(false, false);
    // A session that ended without a Stop (lost device) left its event set.
    SyncResetEvent(d.done);
    SyncResetEvent(d.wake);
    try {
        std::thread(&SessionThread, &d).detach();
    } catch (const std::system_error&) {
        Fail(d, SessionFailure::NoObject);
        End(d);
        return true;
    }
    d.guard.WaitForStart(kStartWaitMs);
    return true;
}

StopOutcome StopSessions()
{
    // Both flags are cleared before either wait, so the two devices close
    // side by side; the playback is waited for first.
    const SessionPhase playback = s_playback.guard.Stop();
    const SessionPhase capture = s_capture.guard.Stop();
    for (const Direction* d : {&s_playback, &s_capture})
        if (d->wake) SyncSetEvent(d->wake);
    const bool playbackStopped = AwaitClose(s_playback, playback);
    const bool captureStopped = AwaitClose(s_capture, capture);

    g_nViewPos = ViewPosAtStop(captureStopped, playbackStopped, g_nViewPos, BlockBytes());
    RotateStoresAtStop(captureStopped, playbackStopped);
    return {captureStopped, playbackStopped};
}

bool CaptureSessionActive() { return s_capture.guard.Active(); }
bool PlaybackSessionActive() { return s_playback.guard.Active(); }

SessionsUnderWay SessionsUnderWayNow()
{
    return {g_bRecording.load() != 0 || CaptureSessionActive(), g_bPlaying.load() != 0 || PlaybackSessionActive()};
}

// Capture and playback sessions: the Record, Playback and Stop commands, the
// two session threads and what Stop leaves behind.
//
// How a session runs:
// - The command (user-interface thread) begins the session in its guard,
//   prepares the stores, greys the format controls, starts redraw timer 3 and
//   the thread, then waits until the thread has started the device or found
//   that it cannot. A second Record or tone command therefore always meets a
//   session that is under way and starts nothing.
// - The thread owns its CWave from open to close. Once the device runs it
//   sets the running flag (through the guard), posts kSessionRunning so that
//   the window's own thread starts statistics timer 1, and then waits on its
//   wake event, looking at the flag at least every 50 ms.
// - Stop clears the flags, wakes both threads and waits for each done event
//   (set once the device is closed), then for the thread's last steps, so
//   that when Stop returns the program is idle. Only then are the stores put
//   in reading order: no completion can write a store while it is rotated.
// - A thread that cannot open its device reports the start as failed before
//   it shows its message box, so a waiting command or Stop is never held by
//   the box; it sets no done event.
// - At the end the thread posts kSessionEnded; the window's thread releases
//   the format controls if no other session runs, deciding that on the same
//   thread that starts sessions.
#include "audio/sessions.h"

#include <new>

#include "app/format_controls.h"
#include "app/format_settings.h"
#include "app/main_window.h"
#include "app/win_state.h"
#include "audio/session_rules.h"
#include "audio/statistics.h"
#include "audio/wave.h"
#include "display/frame.h"
#include "display/overlay.h"
#include "platform/sync.h"

const char kSoundDeviceCaption[] = "Sound device problem";
const char kCaptureObjectText[] = "Could not create the sound capture object";
const char kInputFormatText[] =
    "The sound input device selected is not able to record\nsound in the format requested. "
    "Select a different input\ndevice, or a different sound format";
const char kInputOpenText[] =
    "The sound input device selected is not able to be opened.\nThis may be because the device "
    "is already in use or because\nthe device has not been installed correctly";
const char kOutputObjectText[] = "Could not create the sound output object";
const char kOutputFormatText[] =
    "The sound output device selected is not able to play\nsound in the format requested. "
    "Select a different output\ndevice, or a different sound format";
const char kOutputOpenText[] =
    "The sound output device selected is not able to be opened.\nThis may be because the device "
    "is already in use or because\nthe device has not been installed correctly";
const char kNoSoundDataText[] =
    "There is no sound data available to be played back.\nRecord some sound first. Then attempt "
    "playback.";
const char kNoSoundDataCaption[] = "No sound data";

namespace {

// How long Stop waits for each thread to close its device; a time-out is not
// reported, Stop goes on as if the thread had finished.
constexpr DWORD kCloseWaitMs = 5000;
// After the done event only the thread's last few steps remain.
constexpr DWORD kEndWaitMs = 1000;
// How long a command waits for its thread to open and start the device.
constexpr DWORD kStartWaitMs = 5000;
// The longest a session thread goes without looking at its running flag
// (the lost-device rule clears g_bPlaying without waking the thread).
constexpr DWORD kFlagPollMs = 50;

SessionGuard s_capture(g_bRecording);
SessionGuard s_playback(g_bPlaying);

// Auto-reset: Stop sets it so that the thread looks at its flag at once.
HANDLE s_hCaptureWake = nullptr;
HANDLE s_hPlaybackWake = nullptr;

// Made by the user-interface thread before the first thread that waits on it.
HANDLE WakeEvent(HANDLE* event)
{
    if (*event == nullptr)
        *event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return *event;
}

void WaitWhileFlagSet(const std::atomic<int32_t>& flag, HANDLE wake)
{
    while (flag.load())
        WaitForSingleObject(wake, kFlagPollMs);
}

void ReportFailure(SessionGuard& guard, HWND hWnd, const char* text)
{
    guard.StartFailed();
    MessageBoxA(hWnd, text, kSoundDeviceCaption, MB_ICONEXCLAMATION);
}

// The thread's last steps, on every path.
void EndSession(SessionGuard& guard, HWND hWnd)
{
    DrawOverlay();
    guard.End();
    PostMessageA(hWnd, kSessionNoticeMessage, kSessionEnded, 0);
}

DWORD WINAPI CaptureThread(LPVOID)
{
    const HWND hWnd = g_hMainWnd;
    CWave* wave = new (std::nothrow) CWave(g_nBlockSize, g_nChannels, g_nSampleRate, g_nBitsPerSample);
    if (wave == nullptr || !wave->Created()) {
        delete wave;
        ReportFailure(s_capture, hWnd, kCaptureObjectText);
        EndSession(s_capture, hWnd);
        return 0;
    }
    g_pWaveIn = wave;
    wave->SetInputStore(g_pInputBuffer, g_nInputBufferSize);
    const uint32_t result = wave->OpenInput(g_nInputDeviceId);
    if (result != kWaveOk) {
        ReportFailure(s_capture, hWnd, result == kWaveErrBadFormat ? kInputFormatText : kInputOpenText);
        g_pWaveIn = nullptr;
        delete wave;
        EndSession(s_capture, hWnd);
        return 0;
    }

    wave->StartInput();
    if (s_capture.DeviceStarted()) {
        DrawOverlay();
        g_liCaptureStart = SyncCounter();
        PostMessageA(hWnd, kSessionNoticeMessage, kSessionRunning, 0);
        WaitWhileFlagSet(g_bRecording, s_hCaptureWake);
    }
    wave->CloseInput();
    SetEvent(g_hCaptureDoneEvent);
    // Cleared before the object goes, so that nothing reads a freed object.
    g_pWaveIn = nullptr;
    delete wave;
    EndSession(s_capture, hWnd);
    return 0;
}

DWORD WINAPI PlaybackThread(LPVOID)
{
    const HWND hWnd = g_hMainWnd;
    CWave* wave = new (std::nothrow) CWave(g_nBlockSize, g_nChannels, g_nSampleRate, g_nBitsPerSample);
    if (wave == nullptr || !wave->Created()) {
        delete wave;
        ReportFailure(s_playback, hWnd, kOutputObjectText);
        EndSession(s_playback, hWnd);
        return 0;
    }
    g_pWaveOut = wave;
    // CWave repeats a source shorter than one block within the block and
    // never reads past its end; an absent source plays silence.
    wave->SetOutputSource(g_pPlaybackSource, g_nPlaybackSourceSize);
    const uint32_t result = wave->OpenOutput(g_nOutputDeviceId);
    if (result != kWaveOk) {
        ReportFailure(s_playback, hWnd, result == kWaveErrBadFormat ? kOutputFormatText : kOutputOpenText);
        g_pWaveOut = nullptr;
        delete wave;
        EndSession(s_playback, hWnd);
        return 0;
    }

    // The ring is queued and the device running before the flag is set, so
    // that the waiting command returns to a playback that really plays.
    wave->StartOutput();
    if (s_playback.DeviceStarted()) {
        DrawOverlay();
        g_liPlaybackStart = SyncCounter();
        PostMessageA(hWnd, kSessionNoticeMessage, kSessionRunning, 0);
        WaitWhileFlagSet(g_bPlaying, s_hPlaybackWake);
    }
    wave->CloseOutput();
    SetEvent(g_hPlaybackDoneEvent);
    g_pWaveOut = nullptr;
    delete wave;
    EndSession(s_playback, hWnd);
    return 0;
}

// Starts the thread of a session the guard has just begun, and waits until
// its device runs or its start has failed.
void LaunchSession(HWND hWnd, SessionGuard& guard, LPTHREAD_START_ROUTINE thread, HANDLE done,
                   HANDLE* wake, const char* noThreadText)
{
    // A session that ended without a Stop (lost device) left its event set.
    ResetEvent(done);
    ResetEvent(WakeEvent(wake));
    HANDLE handle = CreateThread(nullptr, 0, thread, nullptr, 0, nullptr);
    if (handle == nullptr) {
        guard.End();
        MessageBoxA(hWnd, noThreadText, kSoundDeviceCaption, MB_ICONEXCLAMATION);
        SetBusy(hWnd, 0);
        return;
    }
    CloseHandle(handle);
    guard.WaitForStart(kStartWaitMs);
}

// Waits until a session Stop has found is closed. Returns whether this Stop
// ended a session whose device had been running.
bool AwaitClose(SessionGuard& guard, SessionPhase found, HANDLE done)
{
    if (found == SessionPhase::Starting)
        found = guard.WaitForStart(kCloseWaitMs);
    if (found != SessionPhase::Running)
        return false;
    if (WaitForSingleObject(done, kCloseWaitMs) == WAIT_OBJECT_0)
        guard.WaitIdle(kEndWaitMs);
    ResetEvent(done);
    return true;
}

} // namespace

bool CaptureSessionActive() { return s_capture.Active(); }
bool PlaybackSessionActive() { return s_playback.Active(); }

void StartRecording(HWND hWnd)
{
    if (g_bRecording || !s_capture.Begin())
        return;
    if (g_bPlaying || PlaybackSessionActive())
        ResetRecordingSide();
    else
        ClearBuffers(hWnd);
    SetBusy(hWnd, 1);
    SetTimer(hWnd, kRedrawTimer, g_nFrameInterval, nullptr);
    EnableWindow(g_hScrollBar, FALSE);
    LaunchSession(hWnd, s_capture, CaptureThread, g_hCaptureDoneEvent, &s_hCaptureWake,
                  kCaptureObjectText);
}

void PlaybackCommand(HWND hWnd)
{
    EnableWindow(g_hScrollBar, FALSE);
    if (g_bPlaying || PlaybackSessionActive()) {
        ShowOutputBusy(hWnd);
        return;
    }
    if (g_nRecordedBytes < 1) {
        MessageBoxA(hWnd, kNoSoundDataText, kNoSoundDataCaption, MB_ICONINFORMATION);
        return;
    }
    ResetPlaybackSide();
    if (!CopyRecordingToPlaybackSource()) {
        MessageBoxA(hWnd, kLowMemoryOutputText, kLowMemoryCaption, MB_ICONEXCLAMATION);
        return;
    }
    StartPlayback(hWnd);
}

void StartPlayback(HWND hWnd)
{
    if (g_bPlaying || !s_playback.Begin())
        return;
    SetBusy(hWnd, 1);
    SetTimer(hWnd, kRedrawTimer, g_nFrameInterval, nullptr);
    LaunchSession(hWnd, s_playback, PlaybackThread, g_hPlaybackDoneEvent, &s_hPlaybackWake,
                  kOutputObjectText);
}

void StopAll(HWND hWnd)
{
    KillTimer(hWnd, kRedrawTimer);
    KillTimer(hWnd, kStatisticsTimer);
    UpdateStatistics(hWnd, kStatisticsTimer);

    // Both flags are cleared before either wait, so the two devices close
    // side by side; the playback is waited for first.
    const SessionPhase playback = s_playback.Stop();
    const SessionPhase capture = s_capture.Stop();
    if (s_hPlaybackWake)
        SetEvent(s_hPlaybackWake);
    if (s_hCaptureWake)
        SetEvent(s_hCaptureWake);
    const bool playbackStopped = AwaitClose(s_playback, playback, g_hPlaybackDoneEvent);
    const bool captureStopped = AwaitClose(s_capture, capture, g_hCaptureDoneEvent);

    g_nViewPos = ViewPosAtStop(captureStopped, playbackStopped, g_nViewPos, BlockBytes());
    RotateStoresAtStop(captureStopped, playbackStopped);
    ComposeFrame(0);

    // A Stop that ended nothing leaves the scroll bar where scrolling put it.
    if (!captureStopped && !playbackStopped)
        return;
    const StopScrollBar bar = ScrollBarAtStop(g_nViewPos, BlockBytes(), g_fViewZoom);
    if (!bar.bSet)
        return;
    EnableWindow(g_hScrollBar, TRUE);
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = bar.nMin;
    info.nMax = bar.nMax;
    info.nPage = static_cast<UINT>(bar.nPage);
    info.nPos = bar.nPos;
    SetScrollInfo(g_hScrollBar, SB_CTL, &info, TRUE);
}

void OnSessionNotice(HWND hWnd, WPARAM notice)
{
    if (notice == kSessionRunning) {
        // A Stop may have come before this notice: then no timer is started.
        if (g_bRecording || g_bPlaying)
            SetTimer(hWnd, kStatisticsTimer, kStatisticsIntervalMs, nullptr);
    } else if (notice == kSessionEnded) {
        if (!CaptureSessionActive() && !PlaybackSessionActive())
            SetBusy(hWnd, 0);
    }
}

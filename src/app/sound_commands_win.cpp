#include "app/sound_commands_win.h"

#include <atomic>
#include <initializer_list>

#include "app/allowed_commands.h"
#include "app/format_settings_win.h"
#include "app/store_scroll.h"
#include "audio/statistics_win.h"
#include "display/frame_win.h"
#include "display/overlay_win.h"
#include "resource.h"
#include "shell/message_boxes_win.h"
#include "state/win_state_win.h"
#include "state/window_timers.h"
#include "tones/create_tone_dialog_win.h"
#include "tones/save_commands_win.h"
#include "tones/tone_entries.h"
#include "tones/tone_synth.h"

namespace {

AllowedActions AllowedNow() { return AllowedFor(SessionsUnderWayNow()); }

// Posts every report to the main window; runs on the session threads.
class SessionNoticePoster : public SessionListener {
public:
    void Listen(HWND hWnd) { m_hWnd.store(hWnd); }
    void OnSessionReport(const SessionReport& report) override
    {
        if (HWND hWnd = m_hWnd.load()) PostMessageA(hWnd, kSessionNoticeMessage, SessionNoticeWord(report), 0);
    }

private:
    std::atomic<HWND> m_hWnd{nullptr};
};

SessionNoticePoster s_poster;

SessionReport UnpackReport(WPARAM word)
{
    return {static_cast<SessionKind>(word & 0xF), static_cast<SessionNotice>(word >> 4 & 0xF),
            static_cast<SessionFailure>(word >> 8 & 0xF)};
}

MessageBoxId FailureBox(SessionKind kind, SessionFailure failure)
{
    const bool capture = kind == SessionKind::Capture;
    switch (failure) {
    case SessionFailure::NoObject: return capture ? MessageBoxId::CaptureObject : MessageBoxId::OutputObject;
    case SessionFailure::FormatRefused: return capture ? MessageBoxId::InputFormat : MessageBoxId::OutputFormat;
    case SessionFailure::OpenFailed: return capture ? MessageBoxId::InputOpen : MessageBoxId::OutputOpen;
    case SessionFailure::None: break;
    }
    return MessageBoxId::None;
}

// Starts the redraw timer and the session, then greys the controls as the
// session under way now allows (a start that has already failed and ended
// leaves them enabled).
void BeginWithControls(HWND hWnd, SessionKind kind)
{
    SetTimer(hWnd, kRedrawTimer, g_nFrameInterval, nullptr);
    BeginSession(kind);
    UpdateAllowedControls(hWnd);
}

// Scroll bar 1059 after a Stop that ended a session: over the stored sound,
// the view at its end.
void SetScrollBarAtStop()
{
    const StopScrollBar bar = ScrollBarAtStop(g_nViewPos, BlockBytes(), g_fViewZoom);
    if (!bar.bSet) return;
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

} // namespace

WPARAM SessionNoticeWord(const SessionReport& report)
{
    return static_cast<WPARAM>(report.kind) | static_cast<WPARAM>(report.notice) << 4 |
           static_cast<WPARAM>(report.failure) << 8;
}

void ListenToSessions(HWND hWnd)
{
    s_poster.Listen(hWnd);
    SetSessionListener(hWnd ? &s_poster : nullptr);
}

void UpdateAllowedControls(HWND hWnd)
{
    const BOOL enable = AllowedNow().bSettings ? TRUE : FALSE;
    for (int id : {IDC_RATE, IDC_CHANNELS, IDC_RESOLUTION, IDC_BUFFER_SIZE}) EnableWindow(GetDlgItem(hWnd, id), enable);
    HMENU menu = GetMenu(hWnd);
    for (UINT position = 0; position < 3; ++position) // File, Settings, Effects
        EnableMenuItem(menu, position, MF_BYPOSITION | (enable ? MF_ENABLED : MF_GRAYED));
    DrawMenuBar(hWnd);
}

void StartRecording(HWND hWnd)
{
    const AllowedActions allowed = AllowedNow();
    if (!allowed.bRecord) return;
    // While a playback is under way only the recording side is cleared.
    if (allowed.bClear)
        ClearBuffers(hWnd);
    else
        ResetRecordingSide();
    EnableWindow(g_hScrollBar, FALSE);
    BeginWithControls(hWnd, SessionKind::Capture);
}

void PlaybackCommand(HWND hWnd)
{
    EnableWindow(g_hScrollBar, FALSE);
    if (!AllowedNow().bOutput) {
        ShowMessageBox(hWnd, MessageBoxId::OutputBusy);
        return;
    }
    if (g_nRecordedBytes < 1) {
        ShowMessageBox(hWnd, MessageBoxId::NoSoundToPlay);
        return;
    }
    ResetPlaybackSide();
    if (!CopyRecordingToPlaybackSource()) {
        ShowMessageBox(hWnd, MessageBoxId::LowMemoryOutput);
        return;
    }
    StartPlayback(hWnd);
}

void StartPlayback(HWND hWnd)
{
    if (!AllowedNow().bOutput) return;
    BeginWithControls(hWnd, SessionKind::Playback);
}

// Refused while a playback is under way (its source must not be replaced
// while it is read). While a capture is under way the stores are not
// cleared: a running one keeps its recording, and a stopped one may still be
// writing its last blocks.
void ToneCommand(HWND hWnd, int id)
{
    const AllowedActions allowed = AllowedNow();
    if (!allowed.bOutput) {
        ShowMessageBox(hWnd, MessageBoxId::OutputBusy);
        return;
    }
    if (allowed.bClear) ClearBuffers(hWnd);
    if (GeneratePresetTone(id) == ToneResult::LowMemory) {
        ShowMessageBox(hWnd, MessageBoxId::ToneLowMemory);
        return;
    }
    StartPlayback(hWnd);
}

void CreateToneCommand(HWND hWnd)
{
    const AllowedActions allowed = AllowedNow();
    if (!allowed.bOutput) {
        ShowMessageBox(hWnd, MessageBoxId::OutputBusy);
        return;
    }
    if (allowed.bClear) ClearBuffers(hWnd);
    // The dialog has generated the tone when it ends with Play or Save.
    switch (RunCreateToneDialog(hWnd)) {
    case kToneDialogPlay: StartPlayback(hWnd); break;
    case kToneDialogSave: SaveTone(hWnd); break;
    default: break;
    }
}

void StopAll(HWND hWnd)
{
    KillTimer(hWnd, kRedrawTimer);
    KillTimer(hWnd, kStatisticsTimer);
    UpdateStatistics(hWnd, kStatisticsTimer);
    const StopOutcome outcome = StopSessions();
    ComposeFrame(0);
    // A Stop that ended nothing leaves the scroll bar where scrolling put it.
    if (outcome.bCaptureStopped || outcome.bPlaybackStopped) SetScrollBarAtStop();
}

void OnSessionNotice(HWND hWnd, WPARAM notice)
{
    const SessionReport report = UnpackReport(notice);
    switch (report.notice) {
    case SessionNotice::Running:
        DrawOverlay();
        // A Stop may have come before this notice: then no timer is started.
        if (g_bRecording || g_bPlaying) SetTimer(hWnd, kStatisticsTimer, kStatisticsIntervalMs, nullptr);
        break;
    case SessionNotice::Failed: ShowMessageBox(hWnd, FailureBox(report.kind, report.failure)); break;
    case SessionNotice::Ended:
        DrawOverlay();
        UpdateAllowedControls(hWnd);
        break;
    }
}

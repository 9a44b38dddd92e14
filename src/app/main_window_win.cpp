#include "app/main_window_win.h"

#include "app/about_box_win.h"
#include "app/allowed_commands.h"
#include "app/diagnostics_win.h"
#include "app/format_settings_win.h"
#include "app/sound_commands_win.h"
#include "app/startup_win.h"
#include "app/store_scroll.h"
#include "audio/statistics_win.h"
#include "devices/capabilities_dialog_win.h"
#include "devices/device_selection_dialog_win.h"
#include "devices/ds_caps_dialog_win.h"
#include "display/cpu_load_win.h"
#include "display/display_settings_win.h"
#include "display/frame_win.h"
#include "display/overlay_win.h"
#include "dxtests/audio3d_dialog_win.h"
#include "dxtests/audio_effects_dialog_win.h"
#include "resource.h"
#include "shell/help_and_mixer_win.h"
#include "shell/message_boxes_win.h"
#include "state/win_state_win.h"
#include "state/window_timers.h"
#include "tones/save_commands_win.h"
#include "tones/tone_synth.h"

// The scroll codes the store scrolling works with are the system's.
static_assert(kScrollLineLeft == SB_LINELEFT && kScrollLineRight == SB_LINERIGHT && kScrollPageLeft == SB_PAGELEFT &&
                  kScrollPageRight == SB_PAGERIGHT && kScrollThumbPosition == SB_THUMBPOSITION &&
                  kScrollThumbTrack == SB_THUMBTRACK && kScrollToStart == SB_LEFT && kScrollToEnd == SB_RIGHT &&
                  kScrollEnd == SB_ENDSCROLL,
              "scroll codes");

namespace {

bool g_bMainWindowReady = false;

constexpr WORD kSelectionChange = CBN_SELCHANGE; // the only combo notification that acts

void ExitCommand(HWND hWnd) { DestroyWindow(hWnd); }
void HelpCommand(HWND hWnd) { ShowHelpPage(hWnd, kHelpIndexPage); }
void AboutCommand(HWND hWnd) { ShowAboutBox(hWnd); }
void DeviceSelectionCommand(HWND hWnd) { RunDeviceSelectionDialog(hWnd); }
void WaveCapabilitiesCommand(HWND hWnd) { RunCapabilitiesDialog(hWnd); }
void DsCapsCommand(HWND hWnd) { ShowDsCapsDialog(hWnd); }
// The test's dialog has no owner: the main window stays usable meanwhile.
void AudioEffectsCommand(HWND) { RunAudioEffectsTest(); }
void TriggerCommand(HWND hWnd) { g_bTrigger = IsDlgButtonChecked(hWnd, IDC_TRIGGER) == BST_CHECKED ? 1 : 0; }
// The 3D test has no owner: the main window stays usable while it runs.
void Sound3DCommand(HWND) { Run3DAudioTest(); }

struct CommandEntry {
    int nId;
    bool bComboSelection; // acts only on a selection change
    void (*pfnRun)(HWND hWnd);
};

// The command table: every menu command, button and combo of the main window.
constexpr CommandEntry kCommands[] = {
    {IDM_RECORD, false, &StartRecording},
    {IDC_RECORD, false, &StartRecording},
    {IDM_STOP, false, &StopAll},
    {IDC_STOP, false, &StopAll},
    {IDM_PLAYBACK, false, &PlaybackCommand},
    {IDC_PLAYBACK, false, &PlaybackCommand},
    {IDM_CLEAR, false, &ClearBuffers},
    {IDM_SAVE_RECORDING, false, &SaveRecording},
    {IDM_EXIT, false, &ExitCommand},
    {IDC_ALT_EXIT, false, &ExitCommand},
    {IDM_MIXER, false, &LaunchMixer},
    {IDM_HELP, false, &HelpCommand},
    {IDC_ALT_HELP, false, &HelpCommand},
    {IDM_ABOUT, false, &AboutCommand},
    {IDC_ALT_ABOUT, false, &AboutCommand},
    {IDM_CREATE_TONE, false, &CreateToneCommand},
    {IDM_DEVICE_SELECTION, false, &DeviceSelectionCommand},
    {IDM_DISPLAY_SETTINGS, false, &DisplaySettingsCommand},
    {IDM_WAVE_CAPS, false, &WaveCapabilitiesCommand},
    {IDM_DS_CAPS, false, &DsCapsCommand},
    {IDM_3D_SOUND, false, &Sound3DCommand},
    {IDM_AUDIO_FX, false, &AudioEffectsCommand},
    {IDC_RATE, true, &ApplyFormat},
    {IDC_CHANNELS, true, &ApplyFormat},
    {IDC_RESOLUTION, true, &ApplyFormat},
    {IDC_BUFFER_SIZE, true, &ApplyBufferSize},
    {IDC_VIEW, true, &ApplyViewAndSpeed},
    {IDC_FRAME_SPEED, true, &ApplyViewAndSpeed},
    {IDC_TRIGGER, false, &TriggerCommand},
};

bool IsTonePreset(int id)
{
    for (const TonePreset& preset : kTonePresets)
        if (preset.nCommand == id) return true;
    return false;
}

void OnCommand(HWND hWnd, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    // Playback disables the scroll bar even when it is refused.
    if (id == IDM_PLAYBACK || id == IDC_PLAYBACK) EnableWindow(g_hScrollBar, FALSE);
    switch (VerdictFor(id, AllowedFor(SessionsUnderWayNow()))) {
    case CommandVerdict::Run: break;
    case CommandVerdict::Ignore: return;
    case CommandVerdict::OutputBusy: ShowMessageBox(hWnd, MessageBoxId::OutputBusy); return;
    }
    if (IsTonePreset(id)) {
        ToneCommand(hWnd, id);
        return;
    }
    for (const CommandEntry& command : kCommands) {
        if (command.nId != id) continue;
        if (!command.bComboSelection || code == kSelectionChange) command.pfnRun(hWnd);
        return;
    }
}

// Scroll bar 1059 over a stopped recording or playback. The tracking
// position is read from the bar itself: the message carries only 16 bits of
// it, and a store holds up to 20 MB.
void ScrollStoreView(int code)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(g_hScrollBar, SB_CTL, &info);
    ApplyStoreScroll(code, info.nTrackPos);
    SetScrollPos(g_hScrollBar, SB_CTL, g_nViewPos, TRUE);
    DrawOverlay();
    ComposeFrame(1);
    PresentFrame();
}

} // namespace

void MarkMainWindowReady() { g_bMainWindowReady = true; }

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
    case WM_SHOWWINDOW: return 0;
    case WM_DESTROY:
        g_bMainWindowReady = false;
        TearDownMainWindow();
        return 0;
    case WM_SIZE: LayoutMainWindow(hWnd, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale (per-monitor awareness): the
        // dialog manager scales the template's controls and font, and the
        // window takes the suggested rectangle; WM_SIZE lays out the display.
        DefDlgProcA(hWnd, msg, wParam, lParam);
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hWnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_PAINT: {
        // Validate and erase first, so that the erase does not wipe the frame
        // that is then copied into the display.
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        PresentFrame();
        break;
    }
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = kMinTrackWidth;
        info->ptMinTrackSize.y = kMinTrackHeight;
        break;
    }
    case WM_COMMAND: OnCommand(hWnd, wParam); return 0;
    case kSessionNoticeMessage: OnSessionNotice(hWnd, wParam); return 0;
    case WM_TIMER:
        if (wParam == kDiagnosticsTimer)
            WriteDiagnosticLine();
        else
            UpdateStatistics(hWnd, wParam);
        return 0;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == g_hHorzSlider)
            OnSliderScroll(hWnd, g_hHorzSlider, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        else
            ScrollStoreView(LOWORD(wParam));
        break;
    case WM_VSCROLL: OnSliderScroll(hWnd, g_hVertSlider, LOWORD(wParam), static_cast<short>(HIWORD(wParam))); break;
    default: break;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

void LayoutMainWindow(HWND hWnd, int width, int height)
{
    if (!g_bMainWindowReady) return; // sent while the window is still being created

    RECT slider;
    GetWindowRect(g_hVertSlider, &slider);
    POINT corner = {slider.right, slider.bottom};
    ScreenToClient(hWnd, &corner);
    const int x = corner.x;

    RECT r;
    GetWindowRect(g_hHorzSlider, &r);
    const int h1 = r.bottom - r.top;
    GetWindowRect(g_hScrollBar, &r);
    const int h2 = r.bottom - r.top;

    const int d = width - x - 16;
    const int e = height - h1 - 16;
    if (d <= 0 || e <= 0) return; // minimised: keep the display as it was
    MoveWindow(g_hDisplayWnd, x + 8, 8, d, e, FALSE);
    MoveWindow(g_hHorzSlider, x, height - h1 - 8, d / 2, h1, FALSE);
    MoveWindow(g_hScrollBar, x + d / 2, height - h2 - 8, d / 2 + 8, h2, FALSE);
    GetWindowRect(g_hVertSlider, &r);
    SetWindowPos(g_hVertSlider, nullptr, 0, 0, r.right - r.left, e, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);

    GetClientRect(g_hDisplayWnd, &g_rcDisplay);
    g_nDisplayWidth = g_rcDisplay.right - g_rcDisplay.left;
    g_nDisplayHeight = g_rcDisplay.bottom - g_rcDisplay.top;
    CreateViewSurfaces();
}

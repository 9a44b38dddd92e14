#include "app/main_window.h"

#include <initializer_list>

#include "app/about_box.h"
#include "app/format_controls.h"
#include "app/help_and_mixer.h"
#include "app/help_path.h"
#include "app/startup.h"
#include "app/store_scroll.h"
#include "app/win_state.h"
#include "audio/sessions.h"
#include "audio/statistics.h"
#include "display/cpu_load.h"
#include "display/frame.h"
#include "devices/capabilities_dialog_win.h"
#include "devices/device_selection_dialog_win.h"
#include "display/overlay.h"
#include "resource.h"
#include "tones/save_commands.h"
#include "tones/create_tone_dialog_win.h"
#include "tones/tone_box_win.h"
#include "tones/tone_entries.h"
#include "tones/tone_synth.h"

const char kOutputBusyText[] =
    "There is already a sound being played\nIn order to play a new sound you must stop\n"
    "the current output first.\n";
const char kOutputBusyCaption[] = "Output in progress";

namespace {

bool g_bMainWindowReady = false;

constexpr WORD kSelectionChange = CBN_SELCHANGE; // the only combo notification that acts

// One of the four "Test tones" presets: refused while a playback is under
// way (its source must not be replaced while it is read), otherwise the
// stores are cleared when nothing runs and the tone plays in a loop.
void ToneCommand(HWND hWnd, int id)
{
    if (g_bPlaying || PlaybackSessionActive()) {
        ShowOutputBusy(hWnd);
        return;
    }
    // While a capture is under way the stores are not cleared: a running one
    // keeps its recording, and a stopped one may still be writing its last blocks.
    if (!CaptureSessionActive()) ClearBuffers(hWnd);
    if (GeneratePresetTone(id) == ToneResult::LowMemory) {
        ShowToneBox(hWnd, kToneLowMemoryBox);
        return;
    }
    StartPlayback(hWnd);
}

// "Create tone": the same busy rule as the presets; the dialog has already
// generated the tone when it ends with Play or Save.
void CreateToneCommand(HWND hWnd)
{
    if (g_bPlaying || PlaybackSessionActive()) {
        ShowOutputBusy(hWnd);
        return;
    }
    if (!CaptureSessionActive()) ClearBuffers(hWnd);
    switch (RunCreateToneDialog(hWnd)) {
    case kToneDialogPlay: StartPlayback(hWnd); break;
    case kToneDialogSave: SaveTone(hWnd); break;
    default: break;
    }
}

void OnCommand(HWND hWnd, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    switch (id) {
    case IDM_RECORD:
    case IDC_RECORD:
        StartRecording(hWnd);
        break;
    case IDM_STOP:
    case IDC_STOP:
        StopAll(hWnd);
        break;
    case IDM_PLAYBACK:
    case IDC_PLAYBACK:
        PlaybackCommand(hWnd);
        break;
    case IDM_CLEAR:
        // Also refused while a stopped session is still closing its device,
        // whose last blocks may still be written into the stores.
        if (!CaptureSessionActive() && !PlaybackSessionActive()) ClearBuffers(hWnd);
        break;
    case IDM_SINE_1K:
    case IDM_SAW_1K:
    case IDM_SQUARE_1K:
    case IDM_WHITE_NOISE:
        ToneCommand(hWnd, id);
        break;
    case IDM_SAVE_RECORDING:
        SaveRecording(hWnd);
        break;
    case IDM_EXIT:
    case IDC_ALT_EXIT:
        DestroyWindow(hWnd);
        break;
    case IDM_MIXER:
        LaunchMixer(hWnd);
        break;
    case IDM_HELP:
    case IDC_ALT_HELP:
        ShowHelpPage(hWnd, kHelpIndexPage);
        break;
    case IDM_ABOUT:
    case IDC_ALT_ABOUT:
        ShowAboutBox(hWnd);
        break;
    case IDM_CREATE_TONE:
        CreateToneCommand(hWnd);
        break;
    case IDM_DEVICE_SELECTION:
        RunDeviceSelectionDialog(hWnd);
        break;
    case IDM_WAVE_CAPS:
        RunCapabilitiesDialog(hWnd);
        break;
    // Opened by their dialogs once those are built; until then they do nothing.
    case IDM_DISPLAY_SETTINGS:  // DisplaySettingsCommand
    case IDM_DS_CAPS:           // "DSCapabilities"
    case IDM_3D_SOUND:          // "TEST3D", no owner
    case IDM_AUDIO_FX:          // RunAudioEffectsTest
        break;
    case IDC_RATE:
    case IDC_CHANNELS:
    case IDC_RESOLUTION:
        if (code == kSelectionChange) ApplyFormat(hWnd);
        break;
    case IDC_BUFFER_SIZE:
        if (code == kSelectionChange) ApplyBufferSize(hWnd);
        break;
    case IDC_VIEW:
    case IDC_FRAME_SPEED:
        if (code == kSelectionChange) ApplyViewAndSpeed(hWnd);
        break;
    case IDC_TRIGGER:
        g_bTrigger = IsDlgButtonChecked(hWnd, IDC_TRIGGER) == BST_CHECKED ? 1 : 0;
        break;
    default:
        break;
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

// Timer 1 is started by a session once its device runs.
void OnTimer(HWND hWnd, WPARAM id)
{
    switch (id) {
    case 1:
        UpdateStatistics(hWnd, 1);
        break;
    case 2:
        UpdateCpuLoad();
        break;
    case 3:
        ComposeFrame(0);
        PresentFrame();
        break;
    default:
        break;
    }
}

} // namespace

void MarkMainWindowReady() { g_bMainWindowReady = true; }

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
    case WM_SHOWWINDOW:
        return 0;
    case WM_DESTROY:
        g_bMainWindowReady = false;
        TearDownMainWindow();
        return 0;
    case WM_SIZE:
        LayoutMainWindow(hWnd, LOWORD(lParam), HIWORD(lParam));
        return 0;
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
    case WM_COMMAND:
        OnCommand(hWnd, wParam);
        return 0;
    case kSessionNoticeMessage: OnSessionNotice(hWnd, wParam); return 0;
    case WM_TIMER:
        OnTimer(hWnd, wParam);
        return 0;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == g_hHorzSlider)
            OnSliderScroll(hWnd, g_hHorzSlider);
        else
            ScrollStoreView(LOWORD(wParam));
        break;
    case WM_VSCROLL:
        OnSliderScroll(hWnd, g_hVertSlider);
        break;
    default:
        break;
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
    SetWindowPos(g_hVertSlider, nullptr, 0, 0, r.right - r.left, e,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);

    GetClientRect(g_hDisplayWnd, &g_rcDisplay);
    g_nDisplayWidth = g_rcDisplay.right - g_rcDisplay.left;
    g_nDisplayHeight = g_rcDisplay.bottom - g_rcDisplay.top;
    CreateViewSurfaces();
}

void SetBusy(HWND hWnd, int busy)
{
    if (!busy && (g_bRecording || g_bPlaying)) return;
    for (int id : {IDC_RATE, IDC_CHANNELS, IDC_RESOLUTION, IDC_BUFFER_SIZE})
        EnableWindow(GetDlgItem(hWnd, id), busy ? FALSE : TRUE);
    HMENU menu = GetMenu(hWnd);
    for (UINT position = 0; position < 3; ++position) // File, Settings, Effects
        EnableMenuItem(menu, position, MF_BYPOSITION | (busy ? MF_GRAYED : MF_ENABLED));
    DrawMenuBar(hWnd);
}

void ShowOutputBusy(HWND hWnd)
{
    MessageBoxA(hWnd, kOutputBusyText, kOutputBusyCaption, MB_ICONINFORMATION);
}

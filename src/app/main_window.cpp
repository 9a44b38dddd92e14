#include "app/main_window.h"

#include <initializer_list>

#include "app/format_controls.h"
#include "app/startup.h"
#include "app/win_state.h"
#include "audio/sessions.h"
#include "display/cpu_load.h"
#include "display/frame.h"
#include "resource.h"

const char kOutputBusyText[] =
    "There is already a sound being played\nIn order to play a new sound you must stop\n"
    "the current output first.\n";
const char kOutputBusyCaption[] = "Output in progress";

namespace {

bool g_bMainWindowReady = false;

constexpr WORD kSelectionChange = CBN_SELCHANGE; // the only combo notification that acts

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
        ClearBuffers(hWnd);
        break;
    case IDM_EXIT:
    case IDC_ALT_EXIT:
        DestroyWindow(hWnd);
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

void OnTimer(WPARAM id)
{
    switch (id) {
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
        return 0;
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
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == g_hHorzSlider) OnSliderScroll(hWnd, g_hHorzSlider);
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

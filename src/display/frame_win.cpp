// Stand-ins for the display surfaces: no surface exists yet, so composing
// draws nothing and presenting shows an empty black display. The frame
// speed is kept for the redraw timer.
#include "display/frame_win.h"

#include "display/view_settings.h"
#include "resource.h"
#include "shell/combo_tables_win.h"
#include "state/display_state.h"
#include "state/win_state_win.h"

void CreateViewSurfaces() {}
void CreateOverlaySurface() {}
void DeleteSurfaces() {}
void ComposeFrame(int) {}

// With no view surface yet, the display shows its empty black screen.
void PresentFrame()
{
    if (!g_hDisplayWnd || !g_hBlackBrush) return;
    HDC dc = GetDC(g_hDisplayWnd);
    FillRect(dc, &g_rcDisplay, g_hBlackBrush);
    ReleaseDC(g_hDisplayWnd, dc);
}

void ApplyViewAndSpeed(HWND hWnd)
{
    g_nFrameInterval = static_cast<uint32_t>(FrameIntervalAt(SelectedIndex(hWnd, IDC_FRAME_SPEED)));
}

void OnSliderScroll(HWND, HWND) {}

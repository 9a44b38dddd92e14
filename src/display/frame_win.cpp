// Stand-ins for the display surfaces: no surface exists yet, so composing
// and the overlay draw nothing and presenting shows an empty black display. The view and speed choices are
// stored for the redraw timer.
#include "display/frame.h"

#include "app/format_settings.h"
#include "app/format_controls.h"
#include "app/win_state.h"
#include "display/overlay.h"
#include "resource.h"

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
void DrawOverlay() {}

void ApplyViewAndSpeed(HWND hWnd)
{
    g_nFrameInterval = static_cast<uint32_t>(FrameIntervalAt(SelectedIndex(hWnd, IDC_FRAME_SPEED)));
    g_nViewMode = SelectedIndex(hWnd, IDC_VIEW);
}

void OnSliderScroll(HWND, HWND) {}

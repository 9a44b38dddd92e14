// Display surfaces, frame composition and presentation of the display area,
// and the controls beside it (View and Frame Rate combos, two trackbars).
//
// Until the surfaces exist, composing and presenting do nothing, so the
// format handling can run at start-up before the surfaces are made.
#pragma once

#include <windows.h>

class GdiCanvas;

// The four off-screen surfaces (each a memory context with its bitmap).
extern HDC g_hWaveDC;
extern HDC g_hSpectrumDC;
extern HDC g_hComposeDC;
extern HDC g_hOverlayDC;
extern int g_nOverlayWidth;
extern int g_nOverlayHeight;

constexpr UINT kRedrawTimerId = 3;
constexpr DWORD kResizeLockWaitMs = 200;

// (Re)creates the waveform, spectrum and composition surfaces at the display
// size, then composes a frame. Waits at most 200 ms for the paint lock.
void CreateViewSurfaces();
void CreateOverlaySurface();
void DeleteSurfaces();
// mode 0: the live stores; 1: stored sound after scrolling or while idle.
void ComposeFrame(int mode);
// The selected view's surface with the overlay, copied to the display. A busy
// paint lock skips the frame.
void PresentFrame();
void UpdateSpectrumRange();

// Selection change in the View or Frame Rate combo.
void ApplyViewAndSpeed(HWND hWnd);
// Trackbar 1037 (amplitude) or 1038 (zoom): code is the notification code,
// position the signed 16-bit thumb position the message carries.
void OnSliderScroll(HWND hWnd, HWND control, int code, int position);

// Window handles, kernel objects and drawing resources of the main window.
// Win32 layer only; the portable state is in app_state.h.
#pragma once

#include <windows.h>

#include "app/app_state.h"

class CCpuLoad;

extern HINSTANCE g_hInstance;
extern HWND g_hMainWnd;
extern HWND g_hDisplayWnd;   // control 1009, the frame the views are drawn in
extern HWND g_hHorzSlider;   // trackbar 1038, zoom
extern HWND g_hVertSlider;   // trackbar 1037, amplitude scale
extern HWND g_hScrollBar;    // scroll bar 1059 over a stopped recording or playback
extern RECT g_rcDisplay;
extern int g_nDisplayWidth;
extern int g_nDisplayHeight;

extern HBRUSH g_hBlackBrush;
extern const COLORREF g_crGreen;
extern const COLORREF g_crRed;
extern const COLORREF g_crDarkGreen;
extern HPEN g_hGreenPen;
extern HPEN g_hRedPen;
extern HPEN g_hDarkGreenPen;
extern HFONT g_hFont;
extern int g_nLineHeight;

// The IN and OUT badges in memory drawing contexts, with their sizes.
extern HDC g_hBitmap122DC;
extern HDC g_hBitmap123DC;
extern HBITMAP g_hBitmap122;
extern HBITMAP g_hBitmap123;
extern HGDIOBJ g_hBitmap122Old;
extern HGDIOBJ g_hBitmap123Old;
extern SIZE g_szBitmap122;
extern SIZE g_szBitmap123;

extern HANDLE g_hPaintMutex;         // "WIN_SIZE_PAINT", guards the surfaces
extern HANDLE g_hCaptureDoneEvent;   // manual reset, set when the capture device is closed
extern HANDLE g_hPlaybackDoneEvent;  // manual reset, set when the playback device is closed

extern CCpuLoad* g_pCpuLoad;

// Window handles, kernel objects and drawing resources of the main window.
//
// Threads: created by the start-up and released by the tear-down, both on
// the user-interface thread, which is the only one that uses them.
#pragma once

#include <windows.h>

#include "state/app_state.h"

extern HINSTANCE g_hInstance;
extern HWND g_hMainWnd;
extern HWND g_hDisplayWnd; // control 1009, the frame the views are drawn in
extern HWND g_hHorzSlider; // trackbar 1038, the zoom
extern HWND g_hVertSlider; // trackbar 1037, the amplitude scale
extern HWND g_hScrollBar;  // scroll bar 1059 over a stopped recording or playback
extern RECT g_rcDisplay;
extern int g_nDisplayWidth;
extern int g_nDisplayHeight;

extern HBRUSH g_hBlackBrush;
extern HFONT g_hFont;     // the bold display font of the views' labels
extern int g_nLineHeight; // pixels per line of that font

// A badge bitmap selected into a memory drawing context, with its size.
struct Badge {
    HBITMAP hBitmap;
    HGDIOBJ hOldBitmap; // what the context held before, put back before it is deleted
    SIZE size;
};
extern HDC g_hBitmap122DC; // the IN badge's context
extern HDC g_hBitmap123DC; // the OUT badge's context
extern Badge g_InBadge;    // bitmap 122
extern Badge g_OutBadge;   // bitmap 123

extern HANDLE g_hPaintMutex; // "WIN_SIZE_PAINT", guards the display surfaces

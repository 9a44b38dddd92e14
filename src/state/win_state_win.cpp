#include "state/win_state_win.h"

static_assert(kMaxPathChars == MAX_PATH, "the system's path limit");

HINSTANCE g_hInstance = nullptr;
HWND g_hMainWnd = nullptr;
HWND g_hDisplayWnd = nullptr;
HWND g_hHorzSlider = nullptr;
HWND g_hVertSlider = nullptr;
HWND g_hScrollBar = nullptr;
RECT g_rcDisplay = {0, 0, 0, 0};
int g_nDisplayWidth = 0;
int g_nDisplayHeight = 0;

HBRUSH g_hBlackBrush = nullptr;
HFONT g_hFont = nullptr;
int g_nLineHeight = 0;

HDC g_hBitmap122DC = nullptr;
HDC g_hBitmap123DC = nullptr;
Badge g_InBadge = {nullptr, nullptr, {0, 0}};
Badge g_OutBadge = {nullptr, nullptr, {0, 0}};

HANDLE g_hPaintMutex = nullptr;

#include "app/win_state.h"

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
const COLORREF g_crGreen = RGB(0, 255, 0);
const COLORREF g_crRed = RGB(255, 0, 0);
const COLORREF g_crDarkGreen = RGB(0, 150, 0);
HPEN g_hGreenPen = nullptr;
HPEN g_hRedPen = nullptr;
HPEN g_hDarkGreenPen = nullptr;
HFONT g_hFont = nullptr;
int g_nLineHeight = 0;

HDC g_hBitmap122DC = nullptr;
HDC g_hBitmap123DC = nullptr;
HBITMAP g_hBitmap122 = nullptr;
HBITMAP g_hBitmap123 = nullptr;
HGDIOBJ g_hBitmap122Old = nullptr;
HGDIOBJ g_hBitmap123Old = nullptr;
SIZE g_szBitmap122 = {0, 0};
SIZE g_szBitmap123 = {0, 0};

HANDLE g_hPaintMutex = nullptr;
HANDLE g_hCaptureDoneEvent = nullptr;
HANDLE g_hPlaybackDoneEvent = nullptr;

CCpuLoad* g_pCpuLoad = nullptr;

// The main window's procedure, its command table and its layout.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Called at the end of InitMainWindow: resizes before that are ignored.
void MarkMainWindowReady();
void LayoutMainWindow(HWND hWnd, int width, int height);

constexpr int kMinTrackWidth = 300;
constexpr int kMinTrackHeight = 390;

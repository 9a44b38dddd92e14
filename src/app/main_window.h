// The main window's procedure and its small rules: the busy rule, greying of
// the format controls and menus, store scrolling and the layout.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Called at the end of InitMainWindow: resizes before that are ignored.
void MarkMainWindowReady();
void LayoutMainWindow(HWND hWnd, int width, int height);
void SetBusy(HWND hWnd, int busy);
void ShowOutputBusy(HWND hWnd);

constexpr int kMinTrackWidth = 300;
constexpr int kMinTrackHeight = 390;

extern const char kOutputBusyText[];
extern const char kOutputBusyCaption[];

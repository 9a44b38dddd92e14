// The About box: template ABOUTBOX, run modally over the main window.
#pragma once

#include <windows.h>

#include "app/about_box.h"

INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs the About box owned by hOwner; returns its result, 0.
INT_PTR ShowAboutBox(HWND hOwner);

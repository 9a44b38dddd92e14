// The format and buffer combos of the main window: what a selection change
// does to the format, the stores and the statistics fields.
#pragma once

#include <windows.h>

void ApplyFormat(HWND hWnd);
void ApplyBufferSize(HWND hWnd);
void FitStoreSizes(HWND hWnd);
void ClearBuffers(HWND hWnd);

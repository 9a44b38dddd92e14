// The format and buffer combos of the main window: filling them, and what a
// selection change does to the format, the stores and the statistics fields.
#pragma once

#include <windows.h>

void FillCombo(HWND hWnd, int id, const char* const* labels);
int SelectedIndex(HWND hWnd, int id); // -1 when nothing is selected

void ApplyFormat(HWND hWnd);
void ApplyBufferSize(HWND hWnd);
void FitStoreSizes(HWND hWnd);
void ClearBuffers(HWND hWnd);

extern const char kLowMemoryCaption[];
extern const char kLowMemoryInputText[];
extern const char kLowMemoryOutputText[];

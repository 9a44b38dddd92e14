// "Save Recording" and "Save Tone": the save-file dialog and the boxes that
// report the result; the file itself is written by the WAV writer.
#pragma once

#include <windows.h>

void SaveRecording(HWND hWnd);
void SaveTone(HWND hWnd);

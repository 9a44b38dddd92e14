// Capture and playback sessions, driven by the main window's commands.
#pragma once

#include <windows.h>

void StartRecording(HWND hWnd);
void PlaybackCommand(HWND hWnd);
void StartPlayback(HWND hWnd);
void StopAll(HWND hWnd);

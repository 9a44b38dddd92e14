// The 3D audio test dialog, template TEST3D: a content file plays in a loop
// on a DirectSound 3D audio path while its source laps the listener on the
// ellipse of the grid sliders, a red cross on the grid picture showing where
// it is. The settings sliders set the Doppler and rolloff factors and the
// source's distances, at once or, with Defer Settings, on Apply Settings.
#pragma once

#include <windows.h>

INT_PTR CALLBACK Audio3DDialogProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs the test modally without an owner, so the main window stays usable.
void Run3DAudioTest();

// The timer that moves the source, and its interval (ms).
constexpr UINT_PTR k3DMotionTimer = 1;
constexpr UINT k3DMotionInterval = 5;

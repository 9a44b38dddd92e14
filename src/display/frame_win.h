// Frame composition and presentation of the display area.
//
// Until the display surfaces exist, every call here does nothing, so the
// format handling can run at start-up before the surfaces are made.
#pragma once

#include <windows.h>

void CreateViewSurfaces();
void CreateOverlaySurface();
void DeleteSurfaces();
void ComposeFrame(int fromStore);
void PresentFrame();

// View and frame-speed combos: stores the frame interval.
void ApplyViewAndSpeed(HWND hWnd);
// Trackbars 1037 (amplitude) and 1038 (zoom).
void OnSliderScroll(HWND hWnd, HWND hSlider);

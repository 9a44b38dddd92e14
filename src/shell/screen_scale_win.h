// Pictures drawn for 96 DPI, shown at the screen's DPI: the dialogs grow with
// their font, and a picture in them or a badge over the display's text grows
// with them.
#pragma once

#include <windows.h>

constexpr int kDesignDpi = 96; // every picture of the program is drawn for it

// A copy of the bitmap scaled from 96 DPI to the DPI of the device context,
// smoothed, and its size in *size; the bitmap given is then deleted. At 96
// DPI, or when the copy cannot be made, the bitmap given comes back as it is.
HBITMAP ScaleToScreen(HDC screenDc, HBITMAP bitmap, SIZE* size);

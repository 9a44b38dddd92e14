// Where a dialog goes when it is centred over another window.
//
// Portable core; CenterDialog (dialog_centring_win.h) reads the rectangles and
// moves the dialog.
#pragma once

#include <cstdint>

struct ScreenBox {
    int32_t nLeft;
    int32_t nTop;
    int32_t nWidth;
    int32_t nHeight;
};

struct ScreenPoint {
    int32_t nX;
    int32_t nY;
};

// The dialog's top-left corner: centred over the window (the halves rounded
// toward zero), then kept on the screen: a negative coordinate becomes 0, one
// that would make the dialog pass the screen's right or bottom edge is pulled
// back until the dialog ends there. A dialog larger than the screen starts at
// its left or top edge.
ScreenPoint CentredOrigin(int32_t dialogWidth, int32_t dialogHeight, const ScreenBox& over, int32_t screenWidth,
                          int32_t screenHeight);

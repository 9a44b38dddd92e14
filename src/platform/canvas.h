// Drawing seam: the few drawing operations the display views need.
//
// A canvas is one off-screen surface. The Windows binding (gdi_canvas_win.h)
// draws with GDI on a memory drawing context; the recording canvas
// (recording_canvas.h) keeps a list of the operations so that tests can
// assert the exact lines, texts and fills a view produces.
//
// Lines are 1 pixel wide, drawn in the selected pen's colour from the current
// point, and, as with GDI, leave out their final pixel. Text is drawn in the
// display font over a transparent background.
#pragma once

#include <cstdint>

// A colour as 0x00BBGGRR, the layout GDI's COLORREF uses.
using CanvasRgb = uint32_t;
constexpr CanvasRgb CanvasColour(int r, int g, int b)
{
    return CanvasRgb(r) | (CanvasRgb(g) << 8) | (CanvasRgb(b) << 16);
}

struct CanvasPoint {
    int x;
    int y;
};

struct CanvasSize {
    int cx;
    int cy;
};

enum class BlitOp {
    Copy, // the source replaces the destination
    Or,   // the source is combined with the destination by bitwise OR
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void FillBlack(int x, int y, int width, int height) = 0;
    // Copies width x height pixels from (sx, sy) of source to (x, y).
    virtual void Blit(int x, int y, int width, int height, Canvas& source, int sx, int sy, BlitOp op) = 0;
    // Drawing is limited to the rectangle [left, right) x [top, bottom) until
    // the clip is cleared.
    virtual void SetClip(int left, int top, int right, int bottom) = 0;
    virtual void ClearClip() = 0;

    // Selects a 1-pixel pen of the colour and returns the colour it replaces.
    virtual CanvasRgb SelectPen(CanvasRgb colour) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    // The same as LineTo for each point in turn.
    virtual void LinesTo(const CanvasPoint* points, int count) = 0;

    // Selects the display font and text colour with a transparent
    // background; EndText selects the previous font back.
    virtual void BeginText(CanvasRgb colour) = 0;
    virtual void Text(int x, int y, const char* text) = 0;
    virtual void EndText() = 0;
    // Size of the text in the display font.
    virtual CanvasSize MeasureText(const char* text) = 0;

    virtual void SetPixel(int x, int y, CanvasRgb colour) = 0;
};

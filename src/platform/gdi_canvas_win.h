// The drawing seam on GDI: a canvas over a drawing context the caller owns
// (a memory context with its bitmap selected, or a badge's context).
#pragma once

#include <windows.h>

#include "platform/canvas.h"

class GdiCanvas : public Canvas {
public:
    explicit GdiCanvas(HDC dc, HFONT font = nullptr) : m_hDC(dc), m_hFont(font) {}
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    HDC Dc() const { return m_hDC; }
    void SetFont(HFONT font) { m_hFont = font; }

    void FillBlack(int x, int y, int width, int height) override;
    // source must be a GdiCanvas too.
    void Blit(int x, int y, int width, int height, Canvas& source, int sx, int sy, BlitOp op) override;
    void SetClip(int left, int top, int right, int bottom) override;
    void ClearClip() override;
    CanvasRgb SelectPen(CanvasRgb colour) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void LinesTo(const CanvasPoint* points, int count) override;
    void BeginText(CanvasRgb colour) override;
    void Text(int x, int y, const char* text) override;
    void EndText() override;
    CanvasSize MeasureText(const char* text) override;
    void SetPixel(int x, int y, CanvasRgb colour) override;

private:
    HDC m_hDC;
    HFONT m_hFont;
    HGDIOBJ m_hOldFont = nullptr;
    HGDIOBJ m_hOldPen = nullptr; // the context's own pen, selected back on destruction
    CanvasRgb m_crPen = 0;
    // One pen per colour used; a view uses three.
    struct Pen {
        CanvasRgb colour;
        HPEN pen;
    };
    Pen m_Pens[8] = {};
    int m_nPens = 0;
};

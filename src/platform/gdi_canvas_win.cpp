#include "platform/gdi_canvas_win.h"

#include <cstring>

static_assert(sizeof(CanvasPoint) == sizeof(POINT), "points are handed to GDI as they are");

GdiCanvas::~GdiCanvas()
{
    if (m_hOldPen) SelectObject(m_hDC, m_hOldPen);
    for (int i = 0; i < m_nPens; ++i) DeleteObject(m_Pens[i].pen);
}

void GdiCanvas::FillBlack(int x, int y, int width, int height)
{
    BitBlt(m_hDC, x, y, width, height, nullptr, 0, 0, BLACKNESS);
}

void GdiCanvas::Blit(int x, int y, int width, int height, Canvas& source, int sx, int sy, BlitOp op)
{
    auto* from = dynamic_cast<GdiCanvas*>(&source);
    if (!from) return;
    BitBlt(m_hDC, x, y, width, height, from->m_hDC, sx, sy, op == BlitOp::Or ? SRCPAINT : SRCCOPY);
}

// The context keeps its own copy of the region, so it is deleted at once.
void GdiCanvas::SetClip(int left, int top, int right, int bottom)
{
    HRGN region = CreateRectRgn(left, top, right, bottom);
    SelectClipRgn(m_hDC, region);
    DeleteObject(region);
}

void GdiCanvas::ClearClip() { SelectClipRgn(m_hDC, nullptr); }

CanvasRgb GdiCanvas::SelectPen(CanvasRgb colour)
{
    const CanvasRgb old = m_crPen;
    HPEN pen = nullptr;
    for (int i = 0; i < m_nPens && !pen; ++i)
        if (m_Pens[i].colour == colour) pen = m_Pens[i].pen;
    if (!pen) {
        pen = CreatePen(PS_SOLID, 1, colour);
        if (m_nPens == int(sizeof m_Pens / sizeof m_Pens[0])) { // full: reuse the oldest slot
            SelectObject(m_hDC, GetStockObject(BLACK_PEN));
            DeleteObject(m_Pens[0].pen);
            std::memmove(m_Pens, m_Pens + 1, sizeof m_Pens - sizeof m_Pens[0]);
            --m_nPens;
        }
        m_Pens[m_nPens++] = {colour, pen};
    }
    HGDIOBJ previous = SelectObject(m_hDC, pen);
    if (!m_hOldPen) m_hOldPen = previous;
    m_crPen = colour;
    return old;
}

void GdiCanvas::MoveTo(int x, int y) { MoveToEx(m_hDC, x, y, nullptr); }
void GdiCanvas::LineTo(int x, int y) { ::LineTo(m_hDC, x, y); }

void GdiCanvas::LinesTo(const CanvasPoint* points, int count)
{
    if (count > 0) PolylineTo(m_hDC, reinterpret_cast<const POINT*>(points), DWORD(count));
}

void GdiCanvas::BeginText(CanvasRgb colour)
{
    SetBkMode(m_hDC, TRANSPARENT);
    SetTextColor(m_hDC, colour);
    m_hOldFont = m_hFont ? SelectObject(m_hDC, m_hFont) : nullptr;
}

void GdiCanvas::Text(int x, int y, const char* text) { TextOutA(m_hDC, x, y, text, int(std::strlen(text))); }

void GdiCanvas::EndText()
{
    if (m_hOldFont) SelectObject(m_hDC, m_hOldFont);
    m_hOldFont = nullptr;
}

CanvasSize GdiCanvas::MeasureText(const char* text)
{
    HGDIOBJ old = m_hFont ? SelectObject(m_hDC, m_hFont) : nullptr;
    SIZE size = {0, 0};
    GetTextExtentPoint32A(m_hDC, text, int(std::strlen(text)), &size);
    if (old) SelectObject(m_hDC, old);
    return {int(size.cx), int(size.cy)};
}

void GdiCanvas::SetPixel(int x, int y, CanvasRgb colour) { ::SetPixel(m_hDC, x, y, colour); }

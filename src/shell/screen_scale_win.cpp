#include "shell/screen_scale_win.h"

HBITMAP ScaleToScreen(HDC screenDc, HBITMAP bitmap, SIZE* size)
{
    const int dpi = GetDeviceCaps(screenDc, LOGPIXELSY);
    if (!bitmap || dpi == kDesignDpi || dpi <= 0) return bitmap;
    const SIZE scaled = {MulDiv(size->cx, dpi, kDesignDpi), MulDiv(size->cy, dpi, kDesignDpi)};
    HBITMAP copy = CreateCompatibleBitmap(screenDc, scaled.cx, scaled.cy);
    HDC from = CreateCompatibleDC(screenDc), to = CreateCompatibleDC(screenDc);
    bool drawn = false;
    if (copy && from && to) {
        HGDIOBJ oldFrom = SelectObject(from, bitmap), oldTo = SelectObject(to, copy);
        SetStretchBltMode(to, HALFTONE);
        SetBrushOrgEx(to, 0, 0, nullptr);
        drawn = StretchBlt(to, 0, 0, scaled.cx, scaled.cy, from, 0, 0, size->cx, size->cy, SRCCOPY) != FALSE;
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
    }
    if (from) DeleteDC(from);
    if (to) DeleteDC(to);
    if (!drawn) {
        if (copy) DeleteObject(copy);
        return bitmap;
    }
    DeleteObject(bitmap);
    *size = scaled;
    return copy;
}

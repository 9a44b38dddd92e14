// The red cross that shows the source on the grid picture: nine pixels, a
// horizontal and a vertical arm of five through the centre. Before the cross
// is painted, the picture's colours under it are saved; the next move puts
// them back first, so the grid is left exactly as it was. Pixels outside the
// picture (the cross at an edge) are neither saved, painted nor restored.
#pragma once

#include <cstdint>

#include "dxtests/source_motion.h"

// The picture the cross is drawn on, one pixel at a time (the Windows
// binding is the picture control's device context).
class PixelSurface {
public:
    virtual ~PixelSurface() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual uint32_t PixelAt(int x, int y) = 0; // a COLORREF
    virtual void PutPixel(int x, int y, uint32_t colour) = 0;
};

constexpr uint32_t kMarkerColour = 255; // COLORREF red: 255, 0, 0
constexpr int kCrossPixels = 9;
// In the order the colours are saved: the horizontal arm left to right, then
// the vertical arm top to bottom without the centre.
constexpr MarkerPoint kCrossOffsets[kCrossPixels] = {{-2, 0}, {-1, 0}, {0, 0}, {1, 0}, {2, 0},
                                                     {0, -2}, {0, -1}, {0, 1}, {0, 2}};

class SourceMarker {
public:
    // Restores the pixels under the last cross, then saves and paints the
    // cross for the source at (x, z) (MarkerCentre on the picture's size).
    void Draw(PixelSurface& picture, float x, float z);
    // A new picture carries no cross: nothing is restored on the next Draw.
    void Forget() { m_bDrawn = false; }

    bool Drawn() const { return m_bDrawn; }
    MarkerPoint Centre() const { return m_ptCentre; }

private:
    bool m_bDrawn = false;
    MarkerPoint m_ptCentre = {0, 0};
    uint32_t m_crSaved[kCrossPixels] = {};
    bool m_bInside[kCrossPixels] = {};
};

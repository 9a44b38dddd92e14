#include "dxtests/source_marker.h"

void SourceMarker::Draw(PixelSurface& picture, float x, float z)
{
    if (m_bDrawn) {
        for (int i = 0; i < kCrossPixels; ++i) {
            if (m_bInside[i])
                picture.PutPixel(m_ptCentre.x + kCrossOffsets[i].x, m_ptCentre.y + kCrossOffsets[i].y, m_crSaved[i]);
        }
    }
    const int width = picture.Width(), height = picture.Height();
    m_ptCentre = MarkerCentre(x, z, width, height);
    // The old cross is restored first: the new one may overlap it.
    for (int i = 0; i < kCrossPixels; ++i) {
        const int px = m_ptCentre.x + kCrossOffsets[i].x, py = m_ptCentre.y + kCrossOffsets[i].y;
        m_bInside[i] = px >= 0 && px < width && py >= 0 && py < height;
        m_crSaved[i] = 0;
        if (!m_bInside[i]) continue;
        m_crSaved[i] = picture.PixelAt(px, py);
        picture.PutPixel(px, py, kMarkerColour);
    }
    m_bDrawn = true;
}

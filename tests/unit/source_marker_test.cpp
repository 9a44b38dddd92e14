// The red cross on the grid picture: the grid comes back exactly where the
// cross was, and the cross never reaches outside the picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "dxtests/source_marker.h"

namespace {

// A picture of distinct colours; touching a pixel outside it fails the test.
class Raster : public PixelSurface {
public:
    Raster(int w, int h) : m_w(w), m_h(h), pixels(size_t(w) * h)
    {
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x10000u + uint32_t(i) * 7;
    }
    int Width() const override { return m_w; }
    int Height() const override { return m_h; }
    uint32_t PixelAt(int x, int y) override { return pixels.at(Index(x, y)); }
    void PutPixel(int x, int y, uint32_t colour) override
    {
        pixels.at(Index(x, y)) = colour;
        ++writes;
    }
    size_t Index(int x, int y) const
    {
        EXPECT_TRUE(x >= 0 && x < m_w && y >= 0 && y < m_h) << x << "," << y;
        return size_t(y) * m_w + x;
    }
    int m_w, m_h;
    std::vector<uint32_t> pixels;
    int writes = 0;
};

// The picture should be the original with only the visible part of the
// cross at centre painted red.
void ExpectOnlyCross(const Raster& now, const Raster& original, MarkerPoint centre, const char* where)
{
    std::vector<uint32_t> expected = original.pixels;
    for (const MarkerPoint& o : kCrossOffsets) {
        const int x = centre.x + o.x, y = centre.y + o.y;
        if (x >= 0 && x < original.m_w && y >= 0 && y < original.m_h)
            expected[size_t(y) * original.m_w + x] = kMarkerColour;
    }
    EXPECT_EQ(now.pixels, expected) << where;
}

TEST(SourceMarker, GridIsRestoredExactlyWhereverTheCrossWent)
{
    const Raster original(128, 128);
    Raster picture = original;
    SourceMarker marker;
    const struct {
        float x, z;
        const char* where;
    } moves[] = {{0, 0, "middle"},
                 {0.04f, 0, "one pixel right: the crosses overlap"},
                 {0.04f, 0.04f, "one up"},
                 {-5, 0, "left edge"},
                 {5, 0, "right edge, centre just outside"},
                 {0, 5, "top edge"},
                 {0, -5, "bottom edge"},
                 {-5, 5, "top left corner"},
                 {5, -5, "bottom right corner"},
                 {1.3f, -2.2f, "inside again"}};
    for (const auto& m : moves) {
        marker.Draw(picture, m.x, m.z);
        ExpectOnlyCross(picture, original, MarkerCentre(m.x, m.z, 128, 128), m.where);
    }
    // A cross whose centre lies outside shows only its arm inside.
    Raster edge = original;
    SourceMarker edgeMarker;
    edgeMarker.Draw(edge, 5, 0);
    EXPECT_EQ(edge.writes, 2);
}

TEST(SourceMarker, ANewPictureIsNotPaintedWithAnotherPicturesColours)
{
    const Raster original(64, 48);
    Raster first = original, second = original;
    SourceMarker marker;
    marker.Draw(first, 1, 1);
    marker.Forget();
    // Nothing is "restored" on the new picture: before the first cross there
    // are no saved colours, so only the cross itself changes it.
    marker.Draw(second, -2, 3);
    ExpectOnlyCross(second, original, MarkerCentre(-2, 3, 64, 48), "new picture");
    EXPECT_EQ(second.writes, kCrossPixels);
}

} // namespace

// Tests of the picture raster and its file writers (GoogleTest).
#include "image_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using art::Canvas;
using art::Color;
using art::rgb;

namespace {

uint32_t u32(const std::vector<uint8_t>& v, size_t at) {
  return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | uint32_t(v[at + 3]) << 24;
}
uint32_t u16(const std::vector<uint8_t>& v, size_t at) { return v[at] | v[at + 1] << 8; }

int countInked(const Canvas& c) {
  int n = 0;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) n += c.pixel(x, y).a != 0;
  return n;
}

bool same(Color a, Color b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

TEST(Bmp24, HeaderRowsBottomUpBgrAndPadding) {
  Canvas c(3, 2, 1, art::kBlack);
  c.fillRect(0, 0, 1, 1, rgb(10, 20, 30));    // top-left
  c.fillRect(2, 1, 3, 2, rgb(40, 50, 60));    // bottom-right
  const auto v = art::encodeBmp24(c);
  ASSERT_EQ(v.size(), 54u + 12u * 2u);  // 9 bytes a row, padded to 12
  EXPECT_EQ(v[0], 'B');
  EXPECT_EQ(v[1], 'M');
  EXPECT_EQ(u32(v, 2), v.size());
  EXPECT_EQ(u32(v, 10), 54u);
  EXPECT_EQ(u32(v, 14), 40u);
  EXPECT_EQ(u32(v, 18), 3u);
  EXPECT_EQ(u32(v, 22), 2u);  // positive height: bottom-up
  EXPECT_EQ(u16(v, 28), 24u);
  EXPECT_EQ(u32(v, 34), 24u);
  // First stored row is the bottom one; its last pixel is (40, 50, 60) as BGR.
  EXPECT_EQ(v[54 + 6], 60);
  EXPECT_EQ(v[54 + 7], 50);
  EXPECT_EQ(v[54 + 8], 40);
  EXPECT_EQ(v[54 + 9] | v[54 + 10] | v[54 + 11], 0);
  // Second stored row is the top one.
  EXPECT_EQ(v[66], 30);
  EXPECT_EQ(v[67], 20);
  EXPECT_EQ(v[68], 10);
}

TEST(Bmp24, TranslucentPixelsAreCompositedOverBlack) {
  Canvas c(1, 1);
  c.setSample(0, 0, rgb(200, 100, 0, 128));
  const auto v = art::encodeBmp24(c);
  EXPECT_EQ(v[54], 0);
  EXPECT_NEAR(v[55], 50, 1);
  EXPECT_NEAR(v[56], 100, 1);
}

TEST(Bmp4, PaletteAndNibblePacking) {
  Canvas c(3, 1, 1, art::kWhite);
  c.fillRect(1, 0, 2, 1, rgb(10, 0, 120));  // nearest: navy, index 4
  c.fillRect(2, 0, 3, 1, rgb(20, 20, 20));  // nearest: black, index 0
  const auto v = art::encodeBmp4(c);
  const size_t offset = 54 + 64;
  ASSERT_EQ(v.size(), offset + 4);
  EXPECT_EQ(u32(v, 10), offset);
  EXPECT_EQ(u16(v, 28), 4u);
  EXPECT_EQ(u32(v, 46), 16u);
  EXPECT_EQ(u32(v, 54 + 4 * 4), 0x00000080u);  // navy stored as B 128, G 0, R 0, 0
  EXPECT_EQ(v[offset], 0xF4);
  EXPECT_EQ(v[offset + 1], 0x00);
}

TEST(Ico, DirectoryEntriesPointAtTheirImages) {
  const auto v = art::encodeIco({Canvas(16, 16), Canvas(32, 32)});
  EXPECT_EQ(u16(v, 0), 0u);
  EXPECT_EQ(u16(v, 2), 1u);
  ASSERT_EQ(u16(v, 4), 2u);
  size_t end = 6 + 32;
  for (int i = 0; i < 2; ++i) {
    const size_t e = 6 + 16 * size_t(i);
    const uint32_t n = i == 0 ? 16 : 32;
    EXPECT_EQ(v[e], n);
    EXPECT_EQ(v[e + 1], n);
    EXPECT_EQ(u16(v, e + 4), 1u);
    EXPECT_EQ(u16(v, e + 6), 32u);
    const uint32_t size = u32(v, e + 8), at = u32(v, e + 12);
    EXPECT_EQ(size, 40 + n * n * 4 + 4 * n);  // mask rows padded to 4 bytes
    EXPECT_EQ(at, end);
    EXPECT_EQ(u32(v, at), 40u);
    EXPECT_EQ(u32(v, at + 4), n);
    EXPECT_EQ(u32(v, at + 8), 2 * n);  // colour and mask halves
    EXPECT_EQ(u16(v, at + 14), 32u);
    end = at + size;
  }
  EXPECT_EQ(end, v.size());
}

TEST(Ico, ColourIsBgraAndMaskMarksTransparentPixels) {
  Canvas c(16, 16);
  c.fillRect(1, 0, 2, 1, rgb(255, 0, 0));
  c.setSample(2, 0, rgb(0, 255, 0, 100));  // faint: transparent in the mask
  c.setSample(3, 0, rgb(9, 9, 9, 0));      // invisible colour is cleared
  const auto v = art::encodeIco({c});
  const size_t xorAt = 6 + 16 + 40;
  const size_t topRow = xorAt + 15 * 16 * 4;  // bottom-up
  EXPECT_EQ(u32(v, topRow + 4), 0xFFFF0000u);  // B 0, G 0, R 255, A 255
  EXPECT_EQ(v[topRow + 8 + 3], 100);
  EXPECT_EQ(u32(v, topRow + 12), 0u);
  const size_t maskTop = xorAt + 16 * 16 * 4 + 15 * 4;
  EXPECT_EQ(v[maskTop], 0xBF);  // only x = 1 is opaque
  EXPECT_EQ(v[maskTop + 1], 0xFF);
  EXPECT_EQ(v[maskTop - 4], 0xFF);  // the row below is all transparent
}

TEST(Canvas, RectCoversHalfOpenBox) {
  Canvas c(4, 3);
  c.fillRect(1, 1, 3, 2, art::kWhite);
  EXPECT_EQ(countInked(c), 2);
  EXPECT_EQ(c.pixel(1, 1).a, 255);
  EXPECT_EQ(c.pixel(2, 1).a, 255);
  EXPECT_EQ(c.pixel(3, 1).a, 0);
  EXPECT_EQ(c.pixel(1, 2).a, 0);
}

TEST(Canvas, BlendOverAndResolveAverage) {
  Canvas c(1, 1, 1, art::kBlack);
  c.fillRect(0, 0, 1, 1, rgb(255, 255, 255, 128));
  EXPECT_NEAR(c.pixel(0, 0).r, 128, 1);
  EXPECT_EQ(c.pixel(0, 0).a, 255);

  Canvas s(2, 1, 4);
  s.fillRect(0, 0, 0.5, 1, rgb(255, 0, 0));
  const Canvas r = s.resolve();
  EXPECT_NEAR(r.pixel(0, 0).a, 128, 1);
  EXPECT_EQ(r.pixel(0, 0).r, 255);  // colour not darkened by the empty samples
  EXPECT_EQ(r.pixel(1, 0).a, 0);
}

TEST(Canvas, CircleHasRightAreaAndIsSymmetric) {
  Canvas c(16, 16);
  c.fillCircle(8, 8, 5, art::kWhite);
  EXPECT_NEAR(countInked(c), 78.5, 6);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(c.pixel(x, y).a, c.pixel(15 - x, y).a) << x << "," << y;
      EXPECT_EQ(c.pixel(x, y).a, c.pixel(x, 15 - y).a) << x << "," << y;
    }
}

TEST(Canvas, PolygonFillsItsInsideOnly) {
  Canvas c(10, 10);
  c.fillPolygon({{0, 0}, {10, 0}, {0, 10}}, art::kWhite);
  EXPECT_NEAR(countInked(c), 50, 6);
  EXPECT_EQ(c.pixel(0, 0).a, 255);
  EXPECT_EQ(c.pixel(9, 9).a, 0);
  EXPECT_EQ(c.pixel(8, 0).a, 255);
  EXPECT_EQ(c.pixel(0, 8).a, 255);
}

TEST(Canvas, PolylineBlendsOnceWhereSegmentsMeet) {
  Canvas c(20, 20);
  c.polyline({{2, 10}, {10, 10}, {10, 2}}, 3, rgb(255, 255, 255, 100));
  EXPECT_EQ(c.pixel(10, 10).a, 100);
  EXPECT_EQ(c.pixel(5, 10).a, 100);
  EXPECT_EQ(c.pixel(15, 15).a, 0);
}

TEST(Canvas, PixelLineIncludesBothEndsAndIsConnected) {
  Canvas c(10, 10);
  c.pixelLine(1, 1, 8, 4, art::kWhite);
  EXPECT_EQ(c.pixel(1, 1).a, 255);
  EXPECT_EQ(c.pixel(8, 4).a, 255);
  EXPECT_EQ(countInked(c), 8);  // one pixel per column
  for (int x = 1; x <= 8; ++x) {
    int inColumn = 0;
    for (int y = 0; y < 10; ++y) inColumn += c.pixel(x, y).a != 0;
    EXPECT_EQ(inColumn, 1) << x;
  }
}

TEST(Font, EveryGlyphIsWellFormed) {
  const std::string chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.:/";
  for (char ch : chars) {
    const art::Glyph* g = art::findGlyph(ch);
    ASSERT_NE(g, nullptr) << ch;
    int first, last;
    EXPECT_TRUE(art::glyphColumns(*g, first, last)) << ch;
    for (const char* row : g->rows) {
      ASSERT_EQ(std::strlen(row), 5u) << ch;
      for (int i = 0; i < 5; ++i) EXPECT_TRUE(row[i] == '#' || row[i] == '.') << ch;
    }
  }
}

TEST(Font, ProportionalWidthsAndDrawing) {
  EXPECT_EQ(art::textWidth("IN", 1), 3 + 1 + 5);
  EXPECT_EQ(art::textWidth("IN", 3), 27);
  EXPECT_EQ(art::textWidth("A B", 2), (5 + 1 + 3 + 1 + 5) * 2);
  EXPECT_EQ(art::textWidth("?", 1), art::kSpaceColumns);  // unknown: blank

  Canvas c(8, 8);
  const double end = c.text(1, 0, "I", 1, art::kWhite);
  EXPECT_EQ(end, 4);
  EXPECT_EQ(c.pixel(1, 0).a, 255);  // trimmed: the bar starts at x
  EXPECT_EQ(c.pixel(3, 0).a, 255);
  EXPECT_EQ(c.pixel(2, 3).a, 255);
  EXPECT_EQ(c.pixel(1, 3).a, 0);
  EXPECT_EQ(countInked(c), 3 + 5 + 3);

  Canvas lower(8, 8), upper(8, 8);
  lower.text(0, 0, "k", 1, art::kWhite);
  upper.text(0, 0, "K", 1, art::kWhite);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_TRUE(same(lower.pixel(x, y), upper.pixel(x, y)));
}

}  // namespace

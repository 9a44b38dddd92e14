// The art generator's BMP and ICO files as a viewer reads them.
#include "image_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using art::Canvas;
using art::rgb;

namespace {

using Bytes = std::vector<uint8_t>;
using U = std::vector<uint32_t>;

uint32_t u32(const Bytes& v, size_t at) { return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | uint32_t(v[at + 3]) << 24; }
uint32_t u16(const Bytes& v, size_t at) { return v[at] | v[at + 1] << 8; }

TEST(Bmp24, HeaderRowsBottomUpBgrPaddingAndTranslucentOverBlack)
{
    Canvas c(3, 2, 1, art::kBlack);
    c.fillRect(0, 0, 1, 1, rgb(10, 20, 30)); // top-left
    c.fillRect(2, 1, 3, 2, rgb(40, 50, 60)); // bottom-right
    c.setSample(1, 0, rgb(201, 1, 3, 128));  // translucent: composited over black, rounded
    const Bytes v = art::encodeBmp24(c);
    ASSERT_EQ(v.size(), 54u + 12u * 2u); // 9 bytes a row, padded to 12
    EXPECT_EQ(std::string(v.begin(), v.begin() + 2), "BM");
    EXPECT_EQ((U{u32(v, 2), u32(v, 10), u32(v, 14), u32(v, 18), u32(v, 22), u16(v, 28), u32(v, 34)}),
              (U{78, 54, 40, 3, 2, 24, 24})); // positive height: bottom-up
    EXPECT_EQ(Bytes(v.begin() + 54, v.end()), (Bytes{0,  0,  0,  0, 0, 0,   60, 50, 40, 0, 0, 0, // bottom row first
                                                     30, 20, 10, 2, 1, 101, 0,  0,  0,  0, 0, 0}));
}

TEST(Bmp4, PaletteAndNibblePacking)
{
    Canvas c(3, 1, 1, art::kWhite);
    c.fillRect(1, 0, 2, 1, rgb(10, 0, 120)); // nearest: navy, index 4
    c.fillRect(2, 0, 3, 1, rgb(20, 20, 20)); // nearest: black, index 0
    const Bytes v = art::encodeBmp4(c);
    ASSERT_EQ(v.size(), 54u + 64u + 4u);
    // Pixels at 118, 4 bits, 16 colours; navy stored as B 128, G 0, R 0, 0.
    EXPECT_EQ((U{u32(v, 10), u16(v, 28), u32(v, 46), u32(v, 54 + 4 * 4)}), (U{118, 4, 16, 0x80}));
    EXPECT_EQ(Bytes(v.begin() + 118, v.end()), (Bytes{0xF4, 0, 0, 0}));
}

TEST(Ico, DirectoryEntriesPointAtTheirImages)
{
    const Bytes v = art::encodeIco({Canvas(16, 16), Canvas(32, 32)});
    ASSERT_EQ((U{u16(v, 0), u16(v, 2), u16(v, 4)}), (U{0, 1, 2}));
    uint32_t end = 6 + 32;
    for (uint32_t n : {16u, 32u}) {
        const size_t e = n == 16 ? 6 : 22;
        const uint32_t size = u32(v, e + 8), at = u32(v, e + 12);
        ASSERT_EQ((U{v[e], v[e + 1], u16(v, e + 4), u16(v, e + 6), size, at}),
                  (U{n, n, 1, 32, 40 + n * n * 4 + 4 * n, end})); // mask rows padded to 4 bytes
        EXPECT_EQ((U{u32(v, at), u32(v, at + 4), u32(v, at + 8), u16(v, at + 14)}),
                  (U{40, n, 2 * n, 32})); // colour and mask halves
        end = at + size;
    }
    EXPECT_EQ(end, v.size());
}

TEST(Ico, ColourIsBgraAndMaskMarksTransparentPixels)
{
    Canvas c(16, 16);
    c.fillRect(1, 0, 2, 1, rgb(255, 0, 0));
    c.setSample(2, 0, rgb(0, 255, 0, 100)); // faint: transparent in the mask
    c.setSample(3, 0, rgb(9, 9, 9, 0));     // invisible colour is cleared
    const Bytes v = art::encodeIco({c});
    const size_t xorAt = 6 + 16 + 40, topRow = xorAt + 15 * 16 * 4; // bottom-up
    EXPECT_EQ((U{u32(v, topRow + 4), v[topRow + 8 + 3], u32(v, topRow + 12)}), (U{0xFFFF0000u, 100, 0}));
    const size_t maskTop = xorAt + 16 * 16 * 4 + 15 * 4;
    EXPECT_EQ((U{v[maskTop], v[maskTop + 1], v[maskTop - 4]}), (U{0xBF, 0xFF, 0xFF})); // only x = 1 is opaque
}

} // namespace

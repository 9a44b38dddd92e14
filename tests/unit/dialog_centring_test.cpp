// Centring a dialog over the main window, kept on the screen.
#include <gtest/gtest.h>

#include "app/dialog_centring.h"

namespace {

constexpr int32_t kScreenW = 1280, kScreenH = 1024;

void ExpectOrigin(int32_t w, int32_t h, ScreenBox over, int32_t x, int32_t y)
{
    const ScreenPoint p = CentredOrigin(w, h, over, kScreenW, kScreenH);
    EXPECT_EQ(p.nX, x) << "dialog " << w << "x" << h << " over " << over.nLeft << "," << over.nTop;
    EXPECT_EQ(p.nY, y) << "dialog " << w << "x" << h << " over " << over.nLeft << "," << over.nTop;
}

TEST(DialogCentring, CentresOverTheWindowWithHalvesRoundedTowardZero)
{
    ExpectOrigin(200, 100, {100, 100, 600, 400}, 300, 250);
    ExpectOrigin(201, 101, {100, 100, 600, 400}, 299, 249);
    // A dialog larger than the window: the negative half rounds toward zero.
    ExpectOrigin(301, 201, {500, 500, 100, 100}, 400, 450);
}

TEST(DialogCentring, StaysOnTheScreen)
{
    // Left of or above the screen: moved to its edge.
    ExpectOrigin(400, 300, {-500, -400, 300, 200}, 0, 0);
    // Over a window near the right and bottom edges: pushed back until the
    // dialog ends at the screen's edge.
    ExpectOrigin(300, 200, {1100, 900, 400, 300}, kScreenW - 300, kScreenH - 200);
    ExpectOrigin(300, 200, {0, 0, kScreenW, kScreenH}, 490, 412);
}

TEST(DialogCentring, DialogLargerThanTheScreenStartsAtItsCorner)
{
    ExpectOrigin(1500, 1200, {0, 0, 665, 463}, 0, 0);
    ExpectOrigin(1500, 1200, {1000, 800, 200, 200}, 0, 0);
}

} // namespace

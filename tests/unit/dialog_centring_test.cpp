// Centring a dialog over the main window, kept on a 1280 x 1024 screen.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <utility>

#include "shell/dialog_centring.h"

TEST(DialogCentring, CentresOverTheWindowAndStaysOnTheScreen)
{
    // Width and height of the dialog, the window, the origin.
    const std::tuple<int32_t, int32_t, ScreenBox, int32_t, int32_t> cases[] = {
        {200, 100, {100, 100, 600, 400}, 300, 250},
        {201, 101, {100, 100, 600, 400}, 299, 249},  // halves rounded toward zero
        {301, 201, {500, 500, 100, 100}, 400, 450},  // a negative half too
        {400, 300, {-500, -400, 300, 200}, 0, 0},    // left of and above the screen: at its edge
        {300, 200, {1100, 900, 400, 300}, 980, 824}, // near the right and bottom: pushed back
        {300, 200, {INT32_MAX - 9, 0, INT32_MAX, 100}, 980, 0},
        {1500, 1200, {0, 0, 665, 463}, 0, 0}, // larger than the screen: at its corner
        {1500, 1200, {1000, 800, 200, 200}, 0, 0},
    };
    for (const auto& [w, h, over, x, y] : cases) {
        const ScreenPoint p = CentredOrigin(w, h, over, 1280, 1024);
        EXPECT_EQ(std::make_pair(p.nX, p.nY), std::make_pair(x, y)) << over.nLeft << "," << over.nTop;
    }
}

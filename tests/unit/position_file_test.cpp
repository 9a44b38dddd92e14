// The window position file: reading its rules (a damaged file is read as the
// C library's line and number reading would read it), writing it, its path.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "app/position_file.h"

namespace {

using V = std::vector<int32_t>;

V P(const WindowPlacement& p) { return {p.nLeft, p.nTop, p.nWidth, p.nHeight}; }

// Left, top, width and height, or nothing when the window is not to be moved
// (the placement then holds the defaults).
V Read(const std::string& text)
{
    const PositionReading r = ReadPositionText(text.data(), text.size());
    return r.bPlace ? P(r.placement) : P(r.placement) == P(kDefaultPlacement) ? V{} : V{-1};
}

TEST(PositionFile, TagLineThenPlaceAndSizeWithDefaultsForMissingFields)
{
    const std::pair<std::string, V> cases[] = {
        {"[POSITION]\n10,20,800,600\n", {10, 20, 800, 600}},
        {"[POSITION]\n10,20,30", {10, 20, 30, 463}},
        {"[POSITION]\n-1200,-5,700,500\n", {-1200, -5, 700, 500}},
        {" [POSITION] words\n-5,-5,300,390\n", {-5, -5, 300, 390}}, // the tag anywhere in the first line
        {"[POSITION]\n 12,\t+5 ,9,9\n", {12, 5, 665, 463}},         // a blank before a comma ends the fields
        {"[POSITION]\n7,8,x,9\n", {7, 8, 665, 463}},
        {"[POSITION]\n\r\n", {0, 0, 665, 463}}, // no number at all: the defaults, placed
        {"", {}},
        {"[POSITION]\n99999999999999999999,-99999999999,1,1\n", {INT32_MAX, INT32_MIN, 1, 1}},
        {"[POSITION]\n-x,1,1,1\n", {}},
        {"[POSITION]\n,10,20,800,600\n", {}},
        {"[POSITION]", {}},
        {"[position]\n1,2,3,4\n", {}},
        {"\n[POSITION]\n1,2,3,4\n", {}},
        {std::string("[POS\0ITION]\n1,2,3,4\n", 20), {}},
        // Lines are read in pieces of 269 characters; the rest of a longer line is the next line.
        {std::string(258, ' ') + "[POSITION]\n10,20,800,600\n", {10, 20, 800, 600}},
        {std::string(259, ' ') + "[POSITION]\n10,20,800,600\n", {0, 0, 665, 463}}, // "\n" is the second line
        {std::string(260, ' ') + "[POSITION]\n10,20,800,600\n", {}},
        {"[POSITION]" + std::string(259, ' ') + "1,2,3,4\n", {1, 2, 3, 4}},
    };
    for (const auto& [text, placement] : cases) EXPECT_EQ(Read(text), placement) << '"' << text << '"';
}

// A placement is used while its left and top lie before the virtual
// screen's width and height; the size does not count. The window's test
// tries the first pixel past each edge.
TEST(PositionFile, PlacementFitsTheScreenUpToItsLastPixel)
{
    for (const WindowPlacement p : {WindowPlacement{1919, 1079, 5000, 5000}, WindowPlacement{-3000, -3000, 1, 1}})
        EXPECT_TRUE(PlacementFitsScreen(p, 1920, 1080)) << p.nLeft;
    EXPECT_FALSE(PlacementFitsScreen({INT32_MAX, 0, 1, 1}, 1920, 1080));
}

TEST(PositionFile, WrittenTextReadsBackTheSamePlacement)
{
    char text[96];
    ASSERT_EQ(FormatPositionText(text, sizeof(text), {120, 80, 700, 500}), 26);
    EXPECT_STREQ(text, "[POSITION]\n120,80,700,500\n");
    EXPECT_EQ(FormatPositionText(text, 20, {120, 80, 700, 500}), -1);
    for (const WindowPlacement p : {WindowPlacement{INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX}, {-7, 0, 1, -99}}) {
        const int n = FormatPositionText(text, sizeof(text), p);
        EXPECT_EQ(Read(std::string(text, static_cast<size_t>(std::max(n, 0)))), P(p)) << text;
    }
    char path[300];
    ASSERT_TRUE(PositionFilePath(path, sizeof(path), "C:\\ProgramData\\Keldane\\Keldane Mirravox"));
    EXPECT_STREQ(path, "C:\\ProgramData\\Keldane\\Keldane Mirravox\\mirravox.ini");
    EXPECT_FALSE(PositionFilePath(path, 20, "C:\\ProgramData\\Keldane"));
}

} // namespace

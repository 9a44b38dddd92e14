// The window position file: reading its rules, writing it, and reading
// malformed files as the C library reads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/position_file.h"

namespace {

using V = std::vector<int32_t>;

V P(const WindowPlacement& p) { return {p.nLeft, p.nTop, p.nWidth, p.nHeight}; }

// Left, top, width and height, or nothing when the window is not to be moved.
V Read(const std::string& text)
{
    const PositionReading r = ReadPositionText(text.data(), text.size());
    return r.bPlace ? P(r.placement) : V{};
}

TEST(PositionFile, TagLineThenPlaceAndSizeWithDefaultsForMissingFields)
{
    const struct {
        std::string text;
        V placement;
    } cases[] = {
        {"[POSITION]\n10,20,800,600\n", {10, 20, 800, 600}},
        {"[POSITION]\n10,20,30", {10, 20, 30, 463}},
        {"[POSITION]\n-1200,-5,700,500\n", {-1200, -5, 700, 500}},
        {"[POSITION]\n 12,\t+5 ,9,9\n", {12, 5, 665, 463}}, // a blank before a comma ends the fields
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
    for (const auto& c : cases) EXPECT_EQ(Read(c.text), c.placement) << '"' << c.text << '"';
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
    std::mt19937 random(20260412);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    for (int i = 0; i < 500; ++i) {
        const WindowPlacement p = i == 0 ? WindowPlacement{INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX}
                                         : WindowPlacement{any(random), any(random), any(random), any(random)};
        const int n = FormatPositionText(text, sizeof(text), p);
        ASSERT_EQ(Read(std::string(text, static_cast<size_t>(std::max(n, 0)))), P(p)) << text;
    }
    char path[300];
    ASSERT_TRUE(PositionFilePath(path, sizeof(path), "C:\\ProgramData\\Keldane\\Keldane Mirravox"));
    EXPECT_STREQ(path, "C:\\ProgramData\\Keldane\\Keldane Mirravox\\mirravox.ini");
    EXPECT_FALSE(PositionFilePath(path, 20, "C:\\ProgramData\\Keldane"));
}

// The same reading done by the C library: fgets with a 270-character buffer,
// strstr and sscanf (whose out-of-range conversions are undefined).
V ReferenceReading(const std::string& text)
{
    std::FILE* f = text.empty() ? nullptr : fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    char line[kPositionLineChars + 1];
    int v[4] = {0, 0, 665, 463};
    const bool place = f && std::fgets(line, sizeof(line), f) && std::strstr(line, kPositionTag) &&
                       std::fgets(line, sizeof(line), f) && std::sscanf(line, "%d,%d,%d,%d", v, v + 1, v + 2, v + 3);
    if (f) std::fclose(f);
    return place ? V(v, v + 4) : V{};
}

std::string Mutate(std::string text, std::mt19937& random)
{
    static const char kPieces[] = {',', '-', '+', ' ', '\t', '\n', '\r', '\0', '0', '7', '9', 'x', '[', ']'};
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    for (size_t edits = 1 + pick(6); edits > 0; --edits) {
        const size_t at = text.empty() ? 0 : pick(text.size() + 1);
        // Flip a byte, insert a character the reading cares about, delete a run, cut the file short,
        // insert a run that pushes a line past the line buffer, or insert a number of any length.
        switch (pick(6)) {
        case 0:
            if (!text.empty()) text[std::min(at, text.size() - 1)] = static_cast<char>(pick(256));
            break;
        case 1: text.insert(at, 1, kPieces[pick(sizeof(kPieces))]); break;
        case 2:
            if (!text.empty()) text.erase(std::min(at, text.size() - 1), 1 + pick(4));
            break;
        case 3: text.resize(at); break;
        case 4: text.insert(at, 200 + pick(200), kPieces[pick(sizeof(kPieces))]); break;
        default:
            text.insert(at, std::to_string(std::uniform_int_distribution<int64_t>(-99999999999, 99999999999)(random)));
        }
    }
    return text;
}

TEST(PositionFile, MalformedFilesReadAsTheLibraryReadsThem)
{
    const std::vector<std::string> seeds = {
        "[POSITION]\n10,20,800,600\n",
        "[POSITION]\n10,20\n",
        "[POSITION]\nx\n",
        "[POSITION]\n\n",
        " [POSITION] words\n-5,-5,300,390\n",
        "",
        "[POSITION]",
        std::string(268, ' ') + "[POSITION]\n1,2,3,4\n",
    };
    auto digit = [](char c, char) { return c >= '0' && c <= '9'; };
    std::mt19937 random(1003);
    int compared = 0, placed = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string text = Mutate(seeds[static_cast<size_t>(i) % seeds.size()], random);
        const PositionReading r = ReadPositionText(text.data(), text.size());
        const std::string first = text.substr(0, std::min<size_t>(text.find('\n'), kPositionLineChars));
        placed += r.bPlace; // placed: the tag stands in the first line as read; else the defaults
        ASSERT_TRUE(r.bPlace ? std::strstr(first.c_str(), kPositionTag) != nullptr
                             : P(r.placement) == P(kDefaultPlacement))
            << "input #" << i;
        if (std::search_n(text.begin(), text.end(), 10, '0', digit) != text.end()) continue; // beyond int range
        ++compared;
        ASSERT_EQ(r.bPlace ? P(r.placement) : V{}, ReferenceReading(text)) << "input #" << i;
    }
    EXPECT_GT(placed, 2000); // the mutations reach both outcomes and the comparison
    EXPECT_GT(compared, 10000);
}

} // namespace

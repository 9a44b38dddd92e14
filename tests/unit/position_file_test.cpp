// The window position file: reading its rules, writing it, and reading
// malformed files.
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

PositionReading Read(const std::string& text) { return ReadPositionText(text.data(), text.size()); }

void ExpectPlaced(const std::string& text, int32_t left, int32_t top, int32_t width, int32_t height)
{
    const PositionReading r = Read(text);
    ASSERT_TRUE(r.bPlace) << text;
    EXPECT_EQ(r.placement.nLeft, left) << text;
    EXPECT_EQ(r.placement.nTop, top) << text;
    EXPECT_EQ(r.placement.nWidth, width) << text;
    EXPECT_EQ(r.placement.nHeight, height) << text;
}

void ExpectNotPlaced(const std::string& text) { EXPECT_FALSE(Read(text).bPlace) << text; }

TEST(PositionFile, SecondLineGivesPlaceAndSizeWithDefaultsForMissingFields)
{
    ExpectPlaced("[POSITION]\n10,20,800,600\n", 10, 20, 800, 600);
    ExpectPlaced("[POSITION]\n10,20\n", 10, 20, 665, 463);
    ExpectPlaced("[POSITION]\n10,20,30", 10, 20, 30, 463);
    ExpectPlaced("[POSITION]\n-1200,-5,700,500\n", -1200, -5, 700, 500);
    ExpectPlaced("[POSITION]\n 12,\t+5 ,9,9\n", 12, 5, 665, 463); // a blank before a comma ends the fields
    ExpectPlaced("[POSITION]\n10;20\n", 10, 0, 665, 463);
    ExpectPlaced("[POSITION]\n1,2,3,4,5,6\n", 1, 2, 3, 4);
    // A line that ends before its first number still counts: all defaults.
    ExpectPlaced("[POSITION]\n\n", 0, 0, 665, 463);
    ExpectPlaced("[POSITION]\n   \n7,7,7,7\n", 0, 0, 665, 463);
    // Numbers beyond the 32-bit range saturate.
    ExpectPlaced("[POSITION]\n99999999999999999999,-99999999999,1,1\n", INT32_MAX, INT32_MIN, 1, 1);
}

TEST(PositionFile, NothingIsPlacedWithoutTheTagOrANumber)
{
    ExpectNotPlaced("[POSITION]\nx\n");
    ExpectNotPlaced("[POSITION]\n-x,1,1,1\n");
    ExpectNotPlaced("[POSITION]\n,10,20,800,600\n");
    ExpectNotPlaced("[POSITION]\n");      // no second line
    ExpectNotPlaced("[POSITION]");        // nor a line feed
    ExpectNotPlaced("");                  // the empty file left by a maximised window
    ExpectNotPlaced("[position]\n1,2,3,4\n");
    ExpectNotPlaced("\n[POSITION]\n1,2,3,4\n");
    ExpectNotPlaced(std::string("[POS\0ITION]\n1,2,3,4\n", 20));
    ExpectNotPlaced(std::string("\0[POSITION]\n1,2,3,4\n", 20));
    EXPECT_EQ(Read("[POSITION]\nx\n").placement.nWidth, 665);
}

TEST(PositionFile, TagMayStandAnywhereInTheFirstLine)
{
    ExpectPlaced(" [POSITION] of the main window\n10,20,800,600\n", 10, 20, 800, 600);
    ExpectPlaced("[POSITION][POSITION]\n1,2,3,4\n", 1, 2, 3, 4);
    ExpectPlaced("[POSITION]\r\n10,20,800,600\r\n", 10, 20, 800, 600);
}

TEST(PositionFile, LinesAreReadInPiecesOf269Characters)
{
    // A first line of more than 269 characters continues as the second.
    ExpectNotPlaced("[POSITION]" + std::string(300, 'a') + "\n10,20,800,600\n");
    ExpectPlaced("[POSITION]" + std::string(259, ' ') + "1,2,3,4\n", 1, 2, 3, 4);
    ExpectNotPlaced(std::string(260, ' ') + "[POSITION]\n10,20,800,600\n");
    ExpectPlaced(std::string(258, ' ') + "[POSITION]\n10,20,800,600\n", 10, 20, 800, 600);
    // Exactly 269 characters before the line feed: the line feed alone is
    // read as the second line, which ends before its first number.
    ExpectPlaced(std::string(259, ' ') + "[POSITION]\n10,20,800,600\n", 0, 0, 665, 463);
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
        ASSERT_GT(n, 0);
        const PositionReading r = ReadPositionText(text, static_cast<size_t>(n));
        ASSERT_TRUE(r.bPlace) << text;
        EXPECT_EQ(std::memcmp(&r.placement, &p, sizeof(p)), 0) << text;
    }

    char path[300];
    ASSERT_TRUE(PositionFilePath(path, sizeof(path), "C:\\ProgramData\\Keldane\\Keldane Mirravox"));
    EXPECT_STREQ(path, "C:\\ProgramData\\Keldane\\Keldane Mirravox\\mirravox.ini");
    EXPECT_FALSE(PositionFilePath(path, 20, "C:\\ProgramData\\Keldane"));
}

// The same reading done by the C library: fgets with a 270-character buffer,
// strstr and sscanf. Used as the reference for inputs whose numbers stay
// within range (out-of-range conversions are undefined there).
PositionReading ReferenceReading(const std::string& text)
{
    PositionReading reading = {false, kDefaultPlacement};
    if (text.empty()) return reading; // fmemopen needs at least one byte
    std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (!f) return reading;
    char line[kPositionLineChars + 1];
    if (std::fgets(line, sizeof(line), f) && std::strstr(line, kPositionTag) && std::fgets(line, sizeof(line), f)) {
        int v[4] = {0, 0, 665, 463};
        if (std::sscanf(line, "%d,%d,%d,%d", &v[0], &v[1], &v[2], &v[3]) != 0) {
            reading.bPlace = true;
            reading.placement = {v[0], v[1], v[2], v[3]};
        }
    }
    std::fclose(f);
    return reading;
}

bool HasLongDigitRun(const std::string& text)
{
    int run = 0;
    for (char c : text) {
        run = (c >= '0' && c <= '9') ? run + 1 : 0;
        if (run > 9) return true;
    }
    return false;
}

std::string Mutate(std::string text, std::mt19937& random)
{
    static const char kPieces[] = {',', '-', '+', ' ', '\t', '\n', '\r', '\0', '0', '7', '9', 'x', '[', ']'};
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const size_t edits = 1 + pick(6);
    for (size_t e = 0; e < edits; ++e) {
        const size_t at = text.empty() ? 0 : pick(text.size() + 1);
        switch (pick(6)) {
        case 0: // flip a byte
            if (!text.empty()) text[std::min(at, text.size() - 1)] = static_cast<char>(pick(256));
            break;
        case 1: // insert one of the characters the reading cares about
            text.insert(at, 1, kPieces[pick(sizeof(kPieces))]);
            break;
        case 2: // delete a run
            if (!text.empty()) text.erase(std::min(at, text.size() - 1), 1 + pick(4));
            break;
        case 3: // cut the file short
            text.resize(at);
            break;
        case 4: // a long run that pushes a line past the line buffer
            text.insert(at, 200 + pick(200), kPieces[pick(sizeof(kPieces))]);
            break;
        default: // a number of any length
            text.insert(at, std::to_string(std::uniform_int_distribution<int64_t>(-99999999999, 99999999999)(random)));
            break;
        }
    }
    return text;
}

TEST(PositionFile, MalformedFilesReadAsTheLibraryReadsThem)
{
    const std::vector<std::string> seeds = {
        "[POSITION]\n10,20,800,600\n", "[POSITION]\n10,20\n", "[POSITION]\nx\n", "[POSITION]\n\n",
        " [POSITION] words\n-5,-5,300,390\n", "", "[POSITION]", std::string(268, ' ') + "[POSITION]\n1,2,3,4\n",
    };
    std::mt19937 random(1003);
    int compared = 0, placed = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string text = Mutate(seeds[static_cast<size_t>(i) % seeds.size()], random);
        const PositionReading r = Read(text);
        if (!r.bPlace) {
            ASSERT_EQ(std::memcmp(&r.placement, &kDefaultPlacement, sizeof(r.placement)), 0);
        } else {
            ++placed;
            // The tag stands in the first line as it was read.
            const std::string first = text.substr(0, std::min<size_t>(text.find('\n'), kPositionLineChars));
            ASSERT_NE(std::string(first.c_str()).find(kPositionTag), std::string::npos);
        }
        if (HasLongDigitRun(text)) continue;
        ++compared;
        const PositionReading expected = ReferenceReading(text);
        ASSERT_EQ(r.bPlace, expected.bPlace) << "input #" << i;
        ASSERT_EQ(std::memcmp(&r.placement, &expected.placement, sizeof(r.placement)), 0) << "input #" << i;
    }
    // The mutations must reach both outcomes and the comparison.
    EXPECT_GT(placed, 2000);
    EXPECT_GT(compared, 10000);
}

} // namespace

#include "app/position_file.h"

#include <cstdio>
#include <cstring>

namespace {

using Line = char[kPositionLineChars + 1];

// Takes the next line as a text file's line reading does with a buffer of
// kPositionLineChars + 1: up to and with the line feed, or kPositionLineChars
// characters, or what is left. False when nothing is left.
bool NextLine(const char* data, size_t size, size_t& at, Line& line)
{
    if (at >= size) return false;
    size_t n = 0;
    while (at < size && n < static_cast<size_t>(kPositionLineChars)) {
        const char c = data[at++];
        line[n++] = c;
        if (c == '\n') break;
    }
    line[n] = '\0';
    return true;
}

// The white space that a formatted number conversion skips.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int32_t Saturate(int64_t value)
{
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

} // namespace

int ScanPositionFields(const char* line, int32_t fields[4])
{
    constexpr int64_t kBeyondRange = int64_t{1} << 40; // more digits change nothing after saturation
    const char* p = line;
    for (int i = 0; i < 4; ++i) {
        while (IsSpace(*p)) ++p;
        if (*p == '\0') return i == 0 ? -1 : i;
        bool negative = false;
        if (*p == '+' || *p == '-') negative = *p++ == '-';
        if (!IsDigit(*p)) return i;
        int64_t value = 0;
        for (; IsDigit(*p); ++p)
            if (value < kBeyondRange) value = value * 10 + (*p - '0');
        fields[i] = Saturate(negative ? -value : value);
        if (i < 3) {
            if (*p != ',') return i + 1;
            ++p;
        }
    }
    return 4;
}

PositionReading ReadPositionText(const char* data, size_t size)
{
    PositionReading reading = {false, kDefaultPlacement};
    size_t at = 0;
    Line line;
    if (!NextLine(data, size, at, line) || !std::strstr(line, kPositionTag)) return reading;
    if (!NextLine(data, size, at, line)) return reading;

    int32_t fields[4] = {kDefaultPlacement.nLeft, kDefaultPlacement.nTop, kDefaultPlacement.nWidth,
                         kDefaultPlacement.nHeight};
    // 0: the line begins with something that is not a number. -1 (the line
    // ends before its first number) keeps all four defaults and still counts.
    if (ScanPositionFields(line, fields) == 0) return reading;
    reading.bPlace = true;
    reading.placement = {fields[0], fields[1], fields[2], fields[3]};
    return reading;
}

bool PlacementFitsScreen(const WindowPlacement& placement, int32_t screenWidth, int32_t screenHeight)
{
    return placement.nLeft < screenWidth && placement.nTop < screenHeight;
}

int FormatPositionText(char* out, size_t capacity, const WindowPlacement& placement)
{
    const int n = std::snprintf(out, capacity, "[POSITION]\n%d,%d,%d,%d\n", placement.nLeft, placement.nTop,
                                placement.nWidth, placement.nHeight);
    return n >= 0 && static_cast<size_t>(n) < capacity ? n : -1;
}

bool PositionFilePath(char* out, size_t capacity, const char* folder)
{
    const int n = std::snprintf(out, capacity, "%s\\%s", folder, kPositionFileName);
    return n >= 0 && static_cast<size_t>(n) < capacity;
}

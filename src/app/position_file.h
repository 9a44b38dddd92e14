// The window position file "mirravox.ini": reading its text and writing it.
//
// Portable core; position_file_win.h opens the file and moves the window.
//
// The file holds two lines, "[POSITION]" and four comma-separated integers:
// left, top, width and height of the main window in screen pixels. Reading
// follows the line-by-line reading of a text file with a 270-character line
// buffer: a line is at most 269 characters (a longer one continues as the
// next line), and a line is a C string, so it ends at a NUL byte.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr char kPositionFileName[] = "mirravox.ini";
constexpr char kPositionTag[] = "[POSITION]";
constexpr int kPositionLineChars = 269;

struct WindowPlacement {
    int32_t nLeft;
    int32_t nTop;
    int32_t nWidth;
    int32_t nHeight;
};

// Used for the fields that the second line does not give.
constexpr WindowPlacement kDefaultPlacement = {0, 0, 665, 463};

struct PositionReading {
    // The file asks for the window to be placed: the tag stands in the first
    // line and the second line does not begin with something that is not a
    // number. Nothing is moved otherwise.
    bool bPlace;
    WindowPlacement placement; // the defaults, with the converted fields in place
};

// Converts a line as the format "%d,%d,%d,%d" does into left, top, width and
// height, and returns what the formatted input returns: the number of fields
// converted (0 when the line begins with something that is not a number, the
// fields before the first mismatch otherwise), or -1 when the line ends
// before its first number. Numbers beyond the 32-bit range saturate.
int ScanPositionFields(const char* line, int32_t fields[4]);

// Reads the text of the position file (in text mode, so line ends are line
// feeds).
PositionReading ReadPositionText(const char* data, size_t size);

// A placement is used only when its left is less than the virtual screen's
// width and its top less than its height (a negative left or top passes).
bool PlacementFitsScreen(const WindowPlacement& placement, int32_t screenWidth, int32_t screenHeight);

// The file's text: "[POSITION]\n%d,%d,%d,%d\n". Returns the length written
// (without the closing NUL), or -1 when it does not fit.
int FormatPositionText(char* out, size_t capacity, const WindowPlacement& placement);

// "<folder>\mirravox.ini". Returns false when it does not fit.
bool PositionFilePath(char* out, size_t capacity, const char* folder);

// Where the help pages lie: in "help\html" beside the program file.
//
// Portable core; ShowHelpPage (help_and_mixer.h) opens the page.
#pragma once

#include <cstddef>

constexpr char kHelpIndexPage[] = "index.html";
constexpr char kHelpAudioFxPage[] = "hid_audiofx.htm";
constexpr char kHelp3DAudioPage[] = "hid_3daudio.htm";

// The program file's path cut at its last backslash, then "\help\html\" and
// the page: "D:\Tools\mirravox.exe" and "index.html" give
// "D:\Tools\help\html\index.html". Returns false when it does not fit.
bool HelpPagePath(char* out, size_t capacity, const char* programFile, const char* page);

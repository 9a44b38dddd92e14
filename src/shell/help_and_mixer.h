// Where the help pages lie ("help\html" beside the program file) and which
// programs are the system's volume mixer.
//
// Portable core; help_and_mixer_win.h opens the page and starts the mixer.
#pragma once

#include <cstddef>

constexpr char kHelpIndexPage[] = "index.html";
constexpr char kHelpAudioFxPage[] = "hid_audiofx.htm";
constexpr char kHelp3DAudioPage[] = "hid_3daudio.htm";

// The program file's path cut at its last backslash, then "\help\html\" and
// the page: "D:\Tools\mirravox.exe" and "index.html" give
// "D:\Tools\help\html\index.html". Returns false when it does not fit.
bool HelpPagePath(char* out, size_t capacity, const char* programFile, const char* page);

// The mixer's name changed with Windows Vista; the older one is tried first.
constexpr const char* kMixerPrograms[] = {"sndvol32.exe", "sndvol.exe"};

// Folders and files the program finds at start-up, and its title.
//
// Threads: written by the start-up on the user-interface thread before the
// main window is shown; read-only afterwards.
#pragma once

constexpr int kMaxPathChars = 260; // the system's path limit (MAX_PATH)

extern char g_szProgramDir[kMaxPathChars];  // the program file's folder, no trailing backslash
extern char g_szSettingsDir[kMaxPathChars]; // the folder of the window-position file
extern const char g_szTitle[];

// The sound file the audio-effects test opens with: the start-up sets it to
// "ReggaeBeats.mid" beside the program; the test replaces it with each file
// the user opens there. Written and read on the user-interface thread.
extern char g_szEffectsSoundFile[400 + 32];
// The 3D test's content file: the program's folder and "\Intrigue.mid" from
// start-up, then each file chosen in the test (it outlives the dialog).
// Written and read on the user-interface thread.
extern char g_sz3DContentFile[kMaxPathChars];

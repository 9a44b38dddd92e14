// Settings folder and the file that remembers where the main window stood:
// finding the folder, opening the file and moving the window. The file's
// text is read and written by position_file.h.
#pragma once

// Fills a 260-character buffer with the shared application-data folder
// followed by "\Keldane\Keldane Mirravox", creating both levels. When the
// folder service cannot be had, the two levels are appended to what the
// buffer held.
void BuildSettingsFolder(char* folder);

// Reads "mirravox.ini" in g_szSettingsDir and moves and sizes the main
// window as it says. 0 when the file cannot be opened, else 1.
int LoadWindowPosition();

// Writes the main window's place and size to "mirravox.ini" in
// g_szSettingsDir; a maximised or minimised window leaves the file empty.
// The new file replaces the old one only when complete. 0 when it cannot
// be written completely (an old file is then kept as it was), else 1.
int SaveWindowPosition();

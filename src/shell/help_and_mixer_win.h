// The help pages, opened in the browser, and the system's volume mixer.
#pragma once

#include <windows.h>

#include "shell/help_and_mixer.h"

// Opens "help\html\<page>" beside the program file with the shell's "open"
// verb, owned by hOwner. Nothing is reported when the page does not exist.
// The pages are named in help_and_mixer.h.
void ShowHelpPage(HWND hOwner, const char* page);

// Starts "sndvol32.exe", else "sndvol.exe", maximised, with the program's
// folder as working folder; when neither starts, tells the user so in a
// message box owned by hOwner (MessageBoxId::MixerFailed).
void LaunchMixer(HWND hOwner);

// The shell's "open" of a file with no parameters. Returns the shell's
// result: above 32 means success. Tests replace it to see what would be
// opened, and to make it fail; null restores ShellExecuteA.
using ShellOpenFn = INT_PTR (*)(HWND hOwner, const char* file, const char* folder, int showMode);
void SetShellOpen(ShellOpenFn fn);

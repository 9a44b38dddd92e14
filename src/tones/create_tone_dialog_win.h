// The create-tone dialog: pick a shape, an amplitude, a frequency and a length,
// then play or save the tone. On Play or Save the tone is already generated
// into the playback source when the dialog ends.
#pragma once

#include <windows.h>

// kToneDialogCancel (0), kToneDialogPlay (1) or kToneDialogSave (2).
INT_PTR RunCreateToneDialog(HWND hOwner);

// The audio-effects test: the dialog "Audio Effects" (template DSAUDIOFX)
// plays a sound file through DirectMusic with any of the eight DirectSound
// effects attached to the default audio path's buffer, and changes the
// parameters of the effect being adjusted live.
//
// The dialog has no owner, so the main window stays usable. It runs in its
// own loop, which also waits on the performance's notification event: a
// sound that ends by itself returns the dialog to the stopped state. The
// loop ends when the test ends (Exit, Cancel, a failed DirectSound start or
// a failed play); a quit message that arrives meanwhile belongs to the main
// program: the test ends and the message is posted again for the main loop.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dxtests/buffer_effects.h"

class CMusicEngine;
class CMusicSegment;

// The state of the open test; one test runs at a time.
struct AudioEffectsTest {
    HWND hDialog;
    CMusicEngine* engine;
    CMusicSegment* segment;
    CBufferEffects* effects;
    int32_t adjustKind;
    HANDLE hNotifyEvent; // auto-reset, signalled by the performance
    char currentFile[MAX_PATH];
    char openFile[MAX_PATH];   // the file-open dialog's choice, kept between openings
    char openFolder[MAX_PATH]; // its initial folder
    bool pageShown;            // the page has been shown since the dialog opened
    bool showingPage;          // a page is being filled: reads wait until it is whole
    bool ended;
    int result;
};

// Runs the whole test; returns when its dialog has ended: 0, or 3 after a
// play error.
int RunAudioEffectsTest();
INT_PTR CALLBACK AudioEffectsDialogProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

// The running test (all null when none runs), for its tests.
const AudioEffectsTest& AudioEffectsTestState();

// Dialog operations.
void ShowTransportState(HWND hDlg, bool stopped);
HResult SetCurrentFile(HWND hDlg, const char* path);
void OpenSoundFile(HWND hDlg);
HResult PlayEffectsSound(HWND hDlg);
HResult DrainNotifications(HWND hDlg);

// Stand-ins until the capture and playback sessions exist: no session can
// start, so there is never anything to stop.
#include "audio/sessions.h"

void StartRecording(HWND) {}
void PlaybackCommand(HWND) {}
void StartPlayback(HWND) {}
void StopAll(HWND) {}

// The main window's sound commands (Record, Playback, the tone presets,
// Stop) and what the window does with the sessions' reports.
//
// The sessions (audio/sessions.h) run the devices and report; this side
// decides: it refuses commands and greys controls from the allowed actions
// (allowed_commands.h), shows the failure boxes, starts and kills the timers,
// clears the stores and sets the scroll bar.
#pragma once

#include <windows.h>

#include "audio/sessions.h"

void StartRecording(HWND hWnd);
void PlaybackCommand(HWND hWnd);
void StartPlayback(HWND hWnd);
// One of the four "Test tones" presets (its menu command id).
void ToneCommand(HWND hWnd, int id);
// "Create tone": the dialog, then the playback (Play) or SaveTone (Save).
void CreateToneCommand(HWND hWnd);
void StopAll(HWND hWnd);

// Greys or enables the format and buffer combos and the File, Settings and
// Effects menus as the sessions under way now allow.
void UpdateAllowedControls(HWND hWnd);

// The sessions' reports reach the main window as this posted message (a
// window timer belongs to the window's own thread); the window procedure
// hands it to OnSessionNotice. Reports go to hWnd from ListenToSessions on;
// ListenToSessions(nullptr) ends that.
constexpr UINT kSessionNoticeMessage = WM_APP + 1;
void ListenToSessions(HWND hWnd);
void OnSessionNotice(HWND hWnd, WPARAM notice);
// The message's first parameter for a report.
WPARAM SessionNoticeWord(const SessionReport& report);

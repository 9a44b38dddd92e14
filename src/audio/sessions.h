// Capture and playback sessions, driven by the main window's commands.
//
// Record starts a capture thread and Playback or a tone command a playback
// thread; each thread owns one CWave from open to close and signals its done
// event once its device is closed. Stop ends both. A command returns once its
// thread has started the device or found that it cannot: the running flag
// (g_bRecording, g_bPlaying) is then set, or the failure is being reported.
#pragma once

#include <windows.h>

void StartRecording(HWND hWnd);
void PlaybackCommand(HWND hWnd);
void StartPlayback(HWND hWnd);
void StopAll(HWND hWnd);

// A session of that direction is under way: starting, running, closing, or
// reporting a failed start. At most one of each exists at a time.
bool CaptureSessionActive();
bool PlaybackSessionActive();

// Posted by a session thread to the main window, whose own thread must act
// (a window timer belongs to the thread that sets it): wParam kSessionRunning
// when the device runs (start statistics timer 1), kSessionEnded when the
// thread has ended (release the format controls). The window procedure hands
// the message to OnSessionNotice.
constexpr UINT kSessionNoticeMessage = WM_APP + 1;
constexpr WPARAM kSessionRunning = 1;
constexpr WPARAM kSessionEnded = 2;
void OnSessionNotice(HWND hWnd, WPARAM notice);

constexpr UINT kStatisticsTimer = 1;
constexpr UINT kStatisticsIntervalMs = 500;
constexpr UINT kRedrawTimer = 3;

extern const char kSoundDeviceCaption[];
extern const char kCaptureObjectText[];
extern const char kInputFormatText[];
extern const char kInputOpenText[];
extern const char kOutputObjectText[];
extern const char kOutputFormatText[];
extern const char kOutputOpenText[];
extern const char kNoSoundDataText[];
extern const char kNoSoundDataCaption[];

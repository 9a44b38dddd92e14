// Process-wide application state shared by every part of Mirravox.
//
// Portable: no Windows header here. The window handles and drawing resources
// live in win_state.h, which only the Win32 layer includes.
//
// Threads: the user-interface thread owns everything here. The session
// threads and the wave device's completion handling write the session flags,
// the store positions, the byte counts and the wrapped flags while a session
// runs; those are atomics so that the UI thread's plain reads (statistics,
// display) are well defined. Relaxed ordering is enough: a reader accepts a
// value that is one block old.
#pragma once

#include <atomic>
#include <cstdint>

class CFourier;
class CWave;

// Sound format (derived from the format combos).
extern int32_t g_nSampleRate;    // Hz, requested
extern int32_t g_nChannels;      // 1 or 2
extern int32_t g_nBitsPerSample; // 8, 16 or 24
extern int32_t g_nBytesPerSec;   // bits/8 x channels x rate
extern int32_t g_nBlockSize;     // frames per device block: 512 below 44100 Hz, else 1024

// Recording store. A store that could not be allocated is null and its
// usable size is 0, so every size-bounded loop over it does nothing. It holds
// exactly the bytes the device recorded, gap-free; once wrapped, the sound
// held runs from g_nInputEnd to g_nRecordedBytes and on from 0 to
// g_nInputEnd, which Stop turns into reading order.
extern uint8_t* g_pInputBuffer;
extern int32_t g_nInputBufferSize;       // usable bytes (whole frames)
extern std::atomic<int32_t> g_nRecordedBytes;  // bytes of sound held, at most g_nInputBufferSize
extern std::atomic<int32_t> g_nInputPos;       // block most recently captured
extern std::atomic<int32_t> g_nInputEnd;       // just past the newest captured byte
extern std::atomic<int32_t> g_bInputWrapped;

// Playback store: a copy of every block the output device has played.
extern uint8_t* g_pOutputBuffer;
extern int32_t g_nOutputBufferSize;
extern std::atomic<int32_t> g_nOutputBytes;
extern std::atomic<int32_t> g_nOutputPos;
extern std::atomic<int32_t> g_bOutputWrapped;

extern int32_t g_nViewPos; // scroll position over a stopped recording or playback

// Playback source: the sound a playback session plays in a loop.
extern uint8_t* g_pPlaybackSource;
extern int32_t g_nPlaybackSourceSize;

// Sessions.
extern std::atomic<int32_t> g_bRecording;
extern std::atomic<int32_t> g_bPlaying;
extern std::atomic<CWave*> g_pWaveIn;
extern std::atomic<CWave*> g_pWaveOut;
constexpr uint32_t kWaveMapper = 0xFFFFFFFFu;
extern uint32_t g_nInputDeviceId;
extern uint32_t g_nOutputDeviceId;
extern int64_t g_liPerfFrequency;
extern std::atomic<int64_t> g_liCaptureStart;
extern std::atomic<int64_t> g_liPlaybackStart;
extern std::atomic<int32_t> g_nLostOutputCount;

// Display and controls.
extern int32_t g_nViewMode;        // 0 Waveform, 1 Spectrum, 2 None
extern uint32_t g_nFrameInterval;  // ms, redraw timer 3
extern int32_t g_bTrigger;
extern CFourier* g_pInputFourier;
extern CFourier* g_pOutputFourier;
extern float g_fAmplitudeScale;
extern float g_fViewZoom;

// What the display shows (edited by the display settings dialog).
extern int32_t g_bShowCpuLoad;
extern int32_t g_bShowAvgCpuLoad;
extern int32_t g_bShowStatus;
extern int32_t g_bShowGrid;
extern int32_t g_bShowViewRange;
extern int32_t g_bShowFrameRate;
extern int32_t g_bShowPosition;
extern int32_t g_nDisplaySource; // 0 input only, 1 output only, 2 both

// Clears all eight display flags, then sets the seven show flags and the source 2.
void ResetDisplayFlags();

// Paths (Windows paths, built by the start-up).
constexpr int kMaxPathChars = 260;
extern char g_szProgramDir[kMaxPathChars];
extern char g_szSettingsDir[kMaxPathChars];
extern char g_sz3DContentFile[400 + 32];
extern char g_szEffectsSoundFile[400 + 32];
extern const char g_szTitle[];

// The capture and playback sessions as the rest of the program sees them:
// the running flags, the device objects, the done events and the devices.
//
// Threads: a session thread sets its running flag once its device runs and
// clears it at its end; Stop (user-interface thread) clears both to end the
// sessions. The session thread owns its CWave and publishes it in g_pWaveIn
// or g_pWaveOut while it exists; the user-interface thread only reads those.
// The device ids are written by the user-interface thread while no session
// is under way, and read by the session threads when they open a device.
#pragma once

#include <atomic>
#include <cstdint>

class CWave;
struct SyncEvent; // platform/sync.h

extern std::atomic<int32_t> g_bRecording; // a capture session runs; clearing it asks its thread to stop
extern std::atomic<int32_t> g_bPlaying;   // a playback session runs; clearing it asks its thread to stop
extern std::atomic<CWave*> g_pWaveIn;
extern std::atomic<CWave*> g_pWaveOut;

// Manual reset, created at start-up: set by a session thread once its device is closed.
extern SyncEvent* g_hCaptureDoneEvent;
extern SyncEvent* g_hPlaybackDoneEvent;

extern uint32_t g_nInputDeviceId; // the wave mapper (kWaveMapperId) until the device selection chooses
extern uint32_t g_nOutputDeviceId;

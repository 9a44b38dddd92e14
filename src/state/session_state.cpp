#include "state/session_state.h"

#include "platform/wave_device.h"

std::atomic<int32_t> g_bRecording{0};
std::atomic<int32_t> g_bPlaying{0};
std::atomic<CWave*> g_pWaveIn{nullptr};
std::atomic<CWave*> g_pWaveOut{nullptr};

SyncEvent* g_hCaptureDoneEvent = nullptr;
SyncEvent* g_hPlaybackDoneEvent = nullptr;

uint32_t g_nInputDeviceId = kWaveMapperId;
uint32_t g_nOutputDeviceId = kWaveMapperId;

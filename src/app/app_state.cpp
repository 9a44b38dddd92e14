#include "app/app_state.h"

int32_t g_nSampleRate = 11025;
int32_t g_nChannels = 1;
int32_t g_nBitsPerSample = 8;
int32_t g_nBytesPerSec = 11025;
int32_t g_nBlockSize = 512;

uint8_t* g_pInputBuffer = nullptr;
int32_t g_nInputBufferSize = 0;
std::atomic<int32_t> g_nRecordedBytes{0};
std::atomic<int32_t> g_nInputPos{0};
std::atomic<int32_t> g_nInputEnd{0};
std::atomic<int32_t> g_bInputWrapped{0};

uint8_t* g_pOutputBuffer = nullptr;
int32_t g_nOutputBufferSize = 0;
std::atomic<int32_t> g_nOutputBytes{0};
std::atomic<int32_t> g_nOutputPos{0};
std::atomic<int32_t> g_bOutputWrapped{0};

int32_t g_nViewPos = 0;

uint8_t* g_pPlaybackSource = nullptr;
int32_t g_nPlaybackSourceSize = 0;

std::atomic<int32_t> g_bRecording{0};
std::atomic<int32_t> g_bPlaying{0};
std::atomic<CWave*> g_pWaveIn{nullptr};
std::atomic<CWave*> g_pWaveOut{nullptr};
uint32_t g_nInputDeviceId = kWaveMapper;
uint32_t g_nOutputDeviceId = kWaveMapper;
int64_t g_liPerfFrequency = 0;
std::atomic<int64_t> g_liCaptureStart{0};
std::atomic<int64_t> g_liPlaybackStart{0};
std::atomic<int32_t> g_nLostOutputCount{0};

int32_t g_nViewMode = 0;
uint32_t g_nFrameInterval = 50;
int32_t g_bTrigger = 0;
CFourier* g_pInputFourier = nullptr;
CFourier* g_pOutputFourier = nullptr;
float g_fAmplitudeScale = 0.9f;
float g_fViewZoom = 1.0f;

int32_t g_bShowCpuLoad = 1;
int32_t g_bShowAvgCpuLoad = 1;
int32_t g_bShowStatus = 1;
int32_t g_bShowGrid = 1;
int32_t g_bShowViewRange = 1;
int32_t g_bShowFrameRate = 1;
int32_t g_bShowPosition = 1;
int32_t g_nDisplaySource = 2;

void ResetDisplayFlags()
{
    g_bShowCpuLoad = g_bShowAvgCpuLoad = g_bShowStatus = g_bShowGrid = 1;
    g_bShowViewRange = g_bShowFrameRate = g_bShowPosition = 1;
    g_nDisplaySource = 2;
}

char g_szProgramDir[kMaxPathChars] = "";
char g_szSettingsDir[kMaxPathChars] = "";
char g_sz3DContentFile[400 + 32] = "";
char g_szEffectsSoundFile[400 + 32] = "";
const char g_szTitle[] = "Keldane Mirravox";

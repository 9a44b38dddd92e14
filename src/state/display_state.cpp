#include "state/display_state.h"

uint32_t g_nFrameInterval = 50;
int32_t g_bTrigger = 0;
float g_fViewZoom = 1.0f;
CFourier* g_pInputFourier = nullptr;
CFourier* g_pOutputFourier = nullptr;
int32_t g_nViewMode = 0;
float g_fAmplitudeScale = 0.9f;
int32_t g_bShowGrid = 1;
int32_t g_nDisplaySource = 2;
int32_t g_nSpectrumBins = 1024;
int32_t g_nLastDisplayed = 0;
int32_t g_nInputTriggerPos = 1;
int32_t g_nOutputTriggerPos = 1;
SyncLock* g_pPaintLock = nullptr;

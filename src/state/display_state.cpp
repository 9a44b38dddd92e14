#include "state/display_state.h"

uint32_t g_nFrameInterval = 50;
int32_t g_bTrigger = 0;
float g_fViewZoom = 1.0f;
CFourier* g_pInputFourier = nullptr;
CFourier* g_pOutputFourier = nullptr;

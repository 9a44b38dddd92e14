#include "display/view_state.h"

int32_t g_nSpectrumBins = 1024;
int32_t g_nLastDisplayed = 0;
int32_t g_nInputTriggerPos = 1;
int32_t g_nOutputTriggerPos = 1;
SyncLock* g_pPaintLock = nullptr;

// Display state beside the application state: written by the window's
// thread, read by the views. The trigger anchors are kept between frames.
#pragma once

#include <cstdint>

struct SyncLock;

extern int32_t g_nSpectrumBins;    // analyser bins across the spectrum view
extern int32_t g_nLastDisplayed;   // 0 input view, 1 output view, 2 both
extern int32_t g_nInputTriggerPos;  // byte offsets into the stores, start 1
extern int32_t g_nOutputTriggerPos;
// The lock named "WIN_SIZE_PAINT": the surfaces and the analysers' results.
extern SyncLock* g_pPaintLock;

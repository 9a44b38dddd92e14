// What the display draws and how: the redraw interval, the trigger, the
// zoom and the two analysers.
//
// Threads: the user-interface thread writes these (combos, check box,
// trackbars, start-up) and draws from them. The analysers are made at
// start-up and destroyed at tear-down by the user-interface thread; while
// they exist the device completions feed them (display/feed_analyser.h).
#pragma once

#include <cstdint>

class CFourier;
struct SyncLock;

extern uint32_t g_nFrameInterval;  // ms, redraw timer 3
extern int32_t g_bTrigger;         // the Trigger check box
extern float g_fViewZoom;          // horizontal zoom of the views
extern CFourier* g_pInputFourier;  // fed from the recording store
extern CFourier* g_pOutputFourier; // fed from the playback store
extern int32_t g_nViewMode;        // 0 Waveform, 1 Spectrum, 2 None (the View combo)
extern float g_fAmplitudeScale;    // vertical scale of the views, the amplitude trackbar
extern int32_t g_bShowGrid;        // grid lines and labels in the views
extern int32_t g_nDisplaySource;   // 0 input only, 1 output only, 2 both when available

// Drawn by the window thread alone: the bins across the spectrum view, the
// arrangement of the last composed frame (0 input view, 1 output view, 2
// both) and the trigger anchors, byte offsets into the stores kept between
// frames.
extern int32_t g_nSpectrumBins;
extern int32_t g_nLastDisplayed;
extern int32_t g_nInputTriggerPos;
extern int32_t g_nOutputTriggerPos;
// The lock named "WIN_SIZE_PAINT": the display surfaces and the analysers'
// results. The window thread opens it once; the device threads take it in
// FeedAnalyser.
extern SyncLock* g_pPaintLock;

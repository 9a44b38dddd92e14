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

extern uint32_t g_nFrameInterval;  // ms, redraw timer 3
extern int32_t g_bTrigger;         // the Trigger check box
extern float g_fViewZoom;          // horizontal zoom of the views
extern CFourier* g_pInputFourier;  // fed from the recording store
extern CFourier* g_pOutputFourier; // fed from the playback store

extern int32_t g_nViewMode; // 0 Waveform, 1 Spectrum, 2 None (the View combo)

// DisplayFlags: what the display shows, edited by the display settings
// dialog (user-interface thread only). The show flags hold 0 or 1.
extern int32_t g_bShowCpuLoad;    // overlay line "CPU load"
extern int32_t g_bShowAvgCpuLoad; // overlay line "Average CPU load"
extern int32_t g_bShowStatus;     // overlay status line
extern int32_t g_bShowGrid;       // grid lines and labels in the views
extern int32_t g_bShowViewRange;  // overlay view-range line
extern int32_t g_bShowFrameRate;  // overlay frame-rate line
extern int32_t g_bShowPosition;   // overlay play-position line
extern int32_t g_nDisplaySource;  // 0 input only, 1 output only, 2 both when available

// Every show flag on, and both sources.
void ResetDisplayFlags();

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

// The choices of the View and Frame Rate combos.
//
// Portable core; the main window fills the combos from these tables
// (shell/combo_tables.h) and ApplyViewAndSpeed (frame_win.h) reads them.
#pragma once

#include <cstdint>

extern const char* const kViewLabels[];
extern const char* const kFrameSpeedLabels[];
extern const int32_t kFrameSpeedValues[]; // ms between frames

constexpr int kDefaultViewIndex = 0;       // "Waveform"
constexpr int kDefaultFrameSpeedIndex = 1; // "Fast"

// The frame interval of a Frame Rate index; 0 outside the table.
int32_t FrameIntervalAt(int index);

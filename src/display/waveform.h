// The oscilloscope view: one trace per channel, an amplitude and time grid,
// and a trigger that holds a steady tone still on a rising zero crossing.
#pragma once

#include <cstdint>

#include "display/view_inputs.h"

enum WaveformMode {
    kWaveLive = 0,   // the store as it fills: the ring is the bytes recorded so far
    kWaveStored = 1, // stored sound after scrolling or while idle: the whole store
};

struct WaveformSource {
    const uint8_t* store = nullptr;
    int filledBytes = 0;   // ring length while live
    int storeSize = 0;     // ring length of stored sound
    int* anchor = nullptr; // trigger anchor of this store, kept between frames
};

struct WaveformState {
    PcmFormat format;
    ViewSettings view;
    bool trigger = false;
    bool running = false; // a recording or a playback runs
};

// Draws the band (x0, y0, width, height) of the target from the store, the
// right edge at about position + one block. Draws nothing when the paint lock
// is held elsewhere.
void DrawWaveform(const ViewTarget& target, const WaveformState& state, const WaveformSource& source, int position,
                  int height, int width, int x0, int y0, int mode);

// The spectrum view: the magnitude spectrum of one analyser as one connected
// line over a linear frequency axis and a logarithmic level axis, with an
// optional grid labelled in hertz and in level steps ("dB").
#pragma once

#include "display/view_inputs.h"

class CFourier;

struct SpectrumState {
    ViewSettings view;
    int spectrumBins = 1024; // bins across the width (SpectrumBins)
    int displayWidth = 0;    // the trace stops at this x
};

// Bins shown across a view width at a zoom, for an analyser of N points.
int SpectrumBins(int width, int points, float viewZoom);

// Draws the band (x0, y0, width, height). Waits at most 10 ms for the paint
// lock and draws nothing without it.
void DrawSpectrum(const ViewTarget& target, const SpectrumState& state, const CFourier& analyser, int height, int width,
                  int x0, int y0);

constexpr unsigned kSpectrumLockWaitMs = 10;

// The overlay's lines of yellow text over the top-left corner of the display:
// CPU load, average CPU load, status, nominal frame rate, view range and play
// position, each only when its display flag is set. Portable: the caller
// gathers the state, and the drawing code lays the lines out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"

struct OverlayState {
    // Display flags.
    bool showCpuLoad = true;
    bool showAvgCpuLoad = true;
    bool showStatus = true;
    bool showFrameRate = true;
    bool showViewRange = true;
    bool showPosition = true;

    int32_t cpuLoad = 0;     // percent, the last sample
    float avgCpuLoad = 0.0f; // percent
    bool recording = false;
    bool playing = false;
    uint32_t frameInterval = 50; // ms between redraws
    int32_t viewMode = 0;        // 0 Waveform, 1 Spectrum, 2 None

    // Sound format.
    int32_t sampleRate = 11025;
    int32_t channels = 1;
    int32_t bitsPerSample = 8;
    int32_t blockSize = 512; // frames per block
    float viewZoom = 1.0f;

    // Spectrum: the input analyser's rate and length, and the bins shown.
    int32_t analyserRate = 0;
    int32_t analyserSize = 0;
    int32_t spectrumBins = 0;

    // Position over the playback store.
    int32_t viewPos = 0;     // bytes
    int32_t outputBytes = 0; // bytes held by the playback store
};

// The lines in the order they are drawn; a line switched off takes no room.
std::vector<std::string> OverlayLines(const OverlayState& state);

// Where the overlay draws: line i (from 0) starts at (kOverlayTextX,
// kOverlayTextY + i x line height).
constexpr int kOverlayTextX = 40;
constexpr int kOverlayTextY = 10;
constexpr CanvasRgb kOverlayYellow = CanvasColour(255, 255, 0);

// Blackens the width x height overlay, then writes the lines in yellow. The
// overlay is ORed over a view, so its black leaves the view as it is.
void DrawOverlayLines(Canvas& canvas, int width, int height, const std::vector<std::string>& lines, int lineHeight);

// What the waveform and spectrum views are given to draw with. The Win32
// layer fills these from the shared state once per frame, so the drawing
// code itself reads no global.
#pragma once

#include "platform/canvas.h"

struct SyncLock;

constexpr CanvasRgb kTraceGreen = CanvasColour(0, 255, 0); // channel 0, texts
constexpr CanvasRgb kTraceRed = CanvasColour(255, 0, 0);   // channel 1
constexpr CanvasRgb kGridGreen = CanvasColour(0, 150, 0);  // grid lines

struct PcmFormat {
    int bits = 16;
    int channels = 2;
    int blockSize = 1024; // frames per device block
    int sampleRate = 44100;
};

struct ViewSettings {
    float amplitudeScale = 0.9f;
    float viewZoom = 1.0f;
    bool showGrid = true;
};

// The surface a view draws on and the lock that guards it.
struct ViewTarget {
    Canvas* canvas = nullptr;
    SyncLock* paintLock = nullptr; // null: nothing else draws (tests)
};

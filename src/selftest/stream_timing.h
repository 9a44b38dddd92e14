// The devices' rates against the performance counter, from the frame counts
// seen while a run polls them.
#pragma once

#include <cstdint>
#include <vector>

struct TimingPoint {
    double seconds; // counter time when the count was first seen
    double frames;  // frames handed back by the device by then
};

struct RateFit {
    bool valid = false;
    double framesPerSecond = 0;
    double ppm = 0;        // against the nominal rate
    double residualMs = 0; // scatter of the points about the line
};

// A straight line through the points whose frame counts lie within
// [fromFrames, toFrames]; needs at least 8 points.
RateFit FitRate(const std::vector<TimingPoint>& points, double fromFrames, double toFrames, double nominalRate);

struct FrameTime {
    bool valid = false;
    double seconds = 0;    // when the count reached `frames`
    double residualMs = 0; // scatter of the points used
};

// When the count reached `frames`, from a line through the points within
// `window` frames of it (at least 4 points).
FrameTime TimeOfFrame(const std::vector<TimingPoint>& points, double frames, double window);

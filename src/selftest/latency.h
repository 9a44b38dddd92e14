// Where a known broadband marker lies in a recording, found by
// cross-correlation, and the impulse response of the path it came through.
#pragma once

#include <cstdint>
#include <vector>

struct MarkerFound {
    bool found = false;
    int64_t position = 0;  // index in the signal where the first period starts
    double peak = 0;       // the correlation there, as a fraction of a perfect match
    double marginDb = 0;   // the peak over the largest correlation elsewhere
    bool inverted = false; // the path turns the sound upside down
};

// The marker is back-to-back periods of `sequence` (+-1 values). The peak
// of the first period wins; the margin compares it with the largest
// correlation within half a period of it, `guard` samples around the peak
// left out. Found when the margin is at least 6 dB.
MarkerFound FindMarker(const std::vector<double>& signal, const std::vector<double>& sequence, int guard = 64);

// The impulse response at lags first .. last (inclusive) from one period of
// the recording that starts at `start` and follows a whole period: the
// circular correlation with the sequence, scaled so that a path that passes
// the sound unchanged gives 1 at lag 0. amplitude: the marker's level.
std::vector<double> ImpulseResponse(const std::vector<double>& signal, int64_t start,
                                    const std::vector<double>& sequence, double amplitude, int first, int last);

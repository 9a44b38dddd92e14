// The 3D test's settings sliders: positions 0..40 cover four decades of a
// factor (0.01 to 100), ten positions a decade.
#pragma once

#include <cstddef>

// Factor of a slider position; 0 for position 0 and anything outside 1..40.
// Positions 10 and 11, 20 and 21, 30 and 31 give the same factor (each
// decade's top is the next one's bottom).
float SliderToFactor(int position);

// Slider position of a factor, truncating toward zero; 0 for factors not in
// (0, 100]. Worked in single precision like the factors themselves, so that
// every position's factor comes back to that position (or, for 11, 21 and 31,
// to the position below with the same factor).
int FactorToSlider(float value);

// What the four settings sliders hand to DirectSound.
struct Settings3D {
    float doppler;     // listener's Doppler factor
    float rolloff;     // listener's rolloff factor
    float minDistance; // source's minimum distance (m)
    float maxDistance; // source's maximum distance (m)
};

// The factor as the dialog shows it beside its slider: "%.2f".
void FormatFactor(char* text, size_t size, float value);

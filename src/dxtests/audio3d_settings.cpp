#include "dxtests/audio3d_settings.h"

#include <cstdio>

float SliderToFactor(int p)
{
    // Each product is worked in double and kept as a float.
    if (p >= 1 && p <= 10) return static_cast<float>(p * 0.01);
    if (p >= 11 && p <= 20) return static_cast<float>((p - 10) * 0.1);
    if (p >= 21 && p <= 30) return static_cast<float>(p - 20);
    if (p >= 31 && p <= 40) return static_cast<float>((p - 30) * 10.0);
    return 0.0f;
}

int FactorToSlider(float v)
{
    // In double, 0.03f / 0.01 is 2.99999..., which would truncate to 2.
    if (v > 0.0f && v <= 0.1f) return static_cast<int>(v / 0.01f);
    if (v > 0.1f && v <= 1.0f) return 10 + static_cast<int>(v / 0.1f);
    if (v > 1.0f && v <= 10.0f) return 20 + static_cast<int>(v);
    if (v > 10.0f && v <= 100.0f) return 30 + static_cast<int>(v / 10.0f);
    return 0;
}

void FormatFactor(char* text, size_t size, float value) { std::snprintf(text, size, "%.2f", value); }

#include "dxtests/effect_slider.h"

#include <cmath>
#include <cstdio>

int32_t SliderLineSize(float min, float max, float step)
{
    const float range = max - min;
    return static_cast<int32_t>(step / range * static_cast<double>(kSliderTop));
}

int32_t SliderPositionFor(float value, float min, float max)
{
    const float range = max - min;
    float f = static_cast<float>((static_cast<double>(value) - min) / range);
    if (!(f >= 0.0f)) f = 0.0f; // also a record that holds no number
    if (f > 1.0f) f = 1.0f;
    return static_cast<int32_t>(f * static_cast<double>(kSliderTop));
}

float SliderValueAt(int32_t position, float min, float max)
{
    if (position <= kSliderBottom) return min;
    if (position >= kSliderTop) return max;
    const float f = static_cast<float>(static_cast<uint32_t>(position - 1) / 8388606.0);
    const float value = min + (max - min) * f;
    // Float rounding may step a hair past either end.
    if (value < min) return min;
    if (value > max) return max;
    return value;
}

std::string FormatParameter(float value, int32_t format)
{
    static const char* const kFormats[] = {"%.0f", "%.1f", "%.2f"};
    char text[64];
    std::snprintf(text, sizeof(text), kFormats[format < 0 || format > 2 ? 1 : format], static_cast<double>(value));
    return text;
}

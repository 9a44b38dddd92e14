// The scale of every effect parameter slider: positions 1 to 8388607
// (0x7FFFFF) map linearly onto a parameter's range. Showing multiplies by
// 8388607, reading divides by 8388606, so position 1 reads the minimum and
// position 8388607 the maximum.
//
// Whatever a position or a record holds, a value read back lies inside the
// row's range: the sliders feed the live effect, which must never be handed
// a value outside it.
#pragma once

#include <cstdint>
#include <string>

constexpr int32_t kSliderBottom = 1;
constexpr int32_t kSliderTop = 8388607;

// The slider's arrow-key step: trunc(step / (max - min) x 8388607).
int32_t SliderLineSize(float min, float max, float step);
// The position that shows value: below min (or not a number) the left end,
// above max the right end. The left end is 0, which the slider's own range
// raises to 1.
int32_t SliderPositionFor(float value, float min, float max);
// The value at a position: min + (max - min) x (position - 1) / 8388606,
// with positions outside 1..8388607 taken as the nearest end.
float SliderValueAt(int32_t position, float min, float max);

// "%.0f", "%.1f" or "%.2f" of value for format 0, 1 or 2.
std::string FormatParameter(float value, int32_t format);

// The table of the eight effects: page title, DirectSound effect class and
// interface, the parameter rows (name, record field, range, slider step,
// display format) and the radio groups each effect uses.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dxtests/effect_types.h"

// One continuous parameter on one row of the page.
struct EffectParameterRow {
    int32_t base;      // first of the row's five controls (1000 + 5 x row)
    const char* name;  // the name text
    uint32_t offset;   // of the field in the kind's record
    bool integerField; // Gargle's rate: an unsigned integer, read back truncated
    float min, max, step;
    int32_t format; // 0 "%.0f", 1 "%.1f", 2 "%.2f"
};

constexpr int32_t kNoButton = -1; // a waveform button the effect does not use
constexpr int32_t kPhaseButtonCount = 5;
constexpr int32_t kMaxParameterRows = 6;

struct EffectInfo {
    const char* title; // "Parameters for [ %s ]"
    DsGuid effectClass;
    DsGuid interfaceId;
    const EffectParameterRow* rows;
    int32_t rowCount;
    // Waveform group: record field and the value of each button.
    bool hasWaveform;
    uint32_t waveformOffset;
    int32_t triangle, square, sine;
    // Phase group: record field; buttons -180..180 stand for 0..4.
    bool hasPhase;
    uint32_t phaseOffset;
};

// kind must be 0..7.
const EffectInfo& EffectInfoOf(int32_t kind);
// The value each phase button stands for, -180 degrees first.
extern const int32_t kPhaseValues[kPhaseButtonCount];

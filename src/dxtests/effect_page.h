// The parameter page of the audio-effects dialog: six rows of name, value,
// slider, minimum and maximum, the waveform buttons and the phase buttons.
// Showing fills the page for one effect from its record; reading stores the
// page back into the record and hands the record to the running effect.
//
// The operations work on the dialog's controls through EffectPageControls;
// the Windows half (effect_page_win.h) implements it over the real controls.
#pragma once

#include <cstdint>

#include "dxtests/effect_types.h"

// The controls of the page, addressed by their dialog ids.
class EffectPageControls {
public:
    virtual ~EffectPageControls() = default;
    virtual void SetText(int32_t id, const char* text) = 0;
    virtual void Enable(int32_t id, bool enabled) = 0;
    virtual void Check(int32_t id, bool checked) = 0;
    virtual bool IsChecked(int32_t id) = 0;
    // Trackbars: the range and the line size without redrawing, the position with.
    virtual void SetSliderRange(int32_t id, int32_t min, int32_t max) = 0;
    virtual void SetSliderLineSize(int32_t id, int32_t size) = 0;
    virtual void SetSliderPosition(int32_t id, int32_t position) = 0;
    virtual int32_t SliderPosition(int32_t id) = 0;
};

// Every row text "- - -" and disabled, every slider at the full scale with
// its position at the left end, both radio groups disabled.
void ResetEffectPage(EffectPageControls& page);
void SetSliderFromValue(EffectPageControls& page, int32_t slider, float value, float min, float max, float step);
void SetParameterRow(EffectPageControls& page, int32_t base, const char* name, float value, float min, float max,
                     float step, int32_t format);
// kNoButton (-1) for a button the effect does not use.
void SetWaveformButtons(EffectPageControls& page, int32_t current, int32_t triangle, int32_t square, int32_t sine);
void SetPhaseButtons(EffectPageControls& page, int32_t current, const int32_t values[5]);
void ShowEffectPage(EffectPageControls& page, const EffectParameterSet& set, int32_t kind);

// Reads a row's slider into value and refreshes its value text.
void ReadParameterRow(EffectPageControls& page, int32_t base, float* value, float min, float max, int32_t format);
// Reads the page of kind into its record; a running effect of that kind
// (liveEffect not null) then receives the whole record.
void ReadEffectPage(EffectPageControls& page, EffectParameterSet& set, int32_t kind, void* liveEffect);

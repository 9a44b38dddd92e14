#include "dxtests/effect_page.h"

#include <cstdio>

#include "dxtests/effect_records.h"
#include "dxtests/effect_slider.h"
#include "dxtests/effect_table.h"
#include "resource.h"

namespace {

constexpr int32_t kSliderOffset = 2; // the slider is a row's third control
constexpr int32_t kWaveformButtons[3] = {IDC_FX_TRIANGLE, IDC_FX_SQUARE, IDC_FX_SINE};

} // namespace

void ResetEffectPage(EffectPageControls& page)
{
    for (int32_t id = IDC_FX_ROW_FIRST; id <= IDC_FX_ROW_LAST; ++id) {
        page.SetText(id, "- - -");
        page.Enable(id, false);
    }
    for (int32_t row = 0; row < kMaxParameterRows; ++row) {
        const int32_t slider = IDC_FX_ROW_FIRST + 5 * row + kSliderOffset;
        page.SetSliderRange(slider, kSliderBottom, kSliderTop);
        page.SetSliderLineSize(slider, 4095);
        page.SetSliderPosition(slider, 0);
    }
    for (int32_t id : kWaveformButtons) page.Enable(id, false);
    page.Enable(IDC_FX_WAVEFORM_GROUP, false);
    for (int32_t id = IDC_FX_PHASE_FIRST; id <= IDC_FX_PHASE_LAST; ++id) page.Enable(id, false);
    page.Enable(IDC_FX_PHASE_GROUP, false);
}

void SetSliderFromValue(EffectPageControls& page, int32_t slider, float value, float min, float max, float step)
{
    page.SetSliderLineSize(slider, SliderLineSize(min, max, step));
    page.SetSliderPosition(slider, SliderPositionFor(value, min, max));
}

void SetParameterRow(EffectPageControls& page, int32_t base, const char* name, float value, float min, float max,
                     float step, int32_t format)
{
    for (int32_t id = base; id < base + 5; ++id) page.Enable(id, true);
    page.SetText(base, name);
    page.SetText(base + 1, FormatParameter(value, format).c_str());
    page.SetText(base + 3, FormatParameter(min, format).c_str());
    page.SetText(base + 4, FormatParameter(max, format).c_str());
    SetSliderFromValue(page, base + kSliderOffset, value, min, max, step);
}

void SetWaveformButtons(EffectPageControls& page, int32_t current, int32_t triangle, int32_t square, int32_t sine)
{
    const int32_t values[3] = {triangle, square, sine};
    int32_t match = -1;
    for (int32_t i = 0; i < 3 && match < 0; ++i)
        if (values[i] != kNoButton && current == values[i]) match = i;
    if (match >= 0)
        for (int32_t i = 0; i < 3; ++i) page.Check(kWaveformButtons[i], i == match);
    for (int32_t i = 0; i < 3; ++i)
        if (values[i] != kNoButton) page.Enable(kWaveformButtons[i], true);
    if (triangle != kNoButton || square != kNoButton || sine != kNoButton) page.Enable(IDC_FX_WAVEFORM_GROUP, true);
}

void SetPhaseButtons(EffectPageControls& page, int32_t current, const int32_t values[5])
{
    for (int32_t id = IDC_FX_PHASE_FIRST; id <= IDC_FX_PHASE_LAST; ++id) page.Enable(id, true);
    page.Enable(IDC_FX_PHASE_GROUP, true);
    for (int32_t i = 0; i < kPhaseButtonCount; ++i) {
        if (current != values[i]) continue;
        for (int32_t j = 0; j < kPhaseButtonCount; ++j) page.Check(IDC_FX_PHASE_FIRST + j, j == i);
        return;
    }
}

void ShowEffectPage(EffectPageControls& page, const EffectParameterSet& set, int32_t kind)
{
    ResetEffectPage(page);
    const EffectInfo& info = EffectInfoOf(kind);
    const void* record = EffectRecord(set, kind);
    char title[64];
    std::snprintf(title, sizeof(title), "Parameters for [ %s ]", info.title);
    page.SetText(IDC_FX_PAGE_TITLE, title);
    for (int32_t r = 0; r < info.rowCount; ++r) {
        const EffectParameterRow& row = info.rows[r];
        SetParameterRow(page, row.base, row.name, RowValue(record, row), row.min, row.max, row.step, row.format);
    }
    if (info.hasWaveform)
        SetWaveformButtons(page, LoadRecordInt(record, info.waveformOffset), info.triangle, info.square, info.sine);
    if (info.hasPhase) SetPhaseButtons(page, LoadRecordInt(record, info.phaseOffset), kPhaseValues);
}

void ReadParameterRow(EffectPageControls& page, int32_t base, float* value, float min, float max, int32_t format)
{
    *value = SliderValueAt(page.SliderPosition(base + kSliderOffset), min, max);
    page.SetText(base + 1, FormatParameter(*value, format).c_str());
}

void ReadEffectPage(EffectPageControls& page, EffectParameterSet& set, int32_t kind, void* liveEffect)
{
    if (kind < 0 || kind >= kEffectKindCount) return;
    const EffectInfo& info = EffectInfoOf(kind);
    void* record = EffectRecord(set, kind);
    for (int32_t r = 0; r < info.rowCount; ++r) {
        const EffectParameterRow& row = info.rows[r];
        float value = 0.0f;
        ReadParameterRow(page, row.base, &value, row.min, row.max, row.format);
        StoreRowValue(record, row, value);
    }
    if (info.hasWaveform) {
        // Triangle gives its own value; otherwise the effect's other button.
        const int32_t other = info.square != kNoButton ? info.square : info.sine;
        StoreRecordInt(record, info.waveformOffset, page.IsChecked(IDC_FX_TRIANGLE) ? info.triangle : other);
    }
    if (info.hasPhase) {
        int32_t phase = kPhaseButtonCount - 1; // none of the first four: 180 degrees
        for (int32_t i = 0; i < kPhaseButtonCount - 1; ++i)
            if (page.IsChecked(IDC_FX_PHASE_FIRST + i)) {
                phase = i;
                break;
            }
        StoreRecordInt(record, info.phaseOffset, kPhaseValues[phase]);
    }
    if (liveEffect) ApplyEffectRecord(kind, liveEffect, record);
}

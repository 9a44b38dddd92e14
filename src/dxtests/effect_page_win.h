// The parameter page on the real controls of the audio-effects dialog.
#pragma once

#include <windows.h>

#include "dxtests/effect_page.h"

class CDialogPageControls : public EffectPageControls {
public:
    explicit CDialogPageControls(HWND dialog) : m_hDialog(dialog) {}

    void SetText(int32_t id, const char* text) override;
    void Enable(int32_t id, bool enabled) override;
    void Check(int32_t id, bool checked) override;
    bool IsChecked(int32_t id) override;
    void SetSliderRange(int32_t id, int32_t min, int32_t max) override;
    void SetSliderLineSize(int32_t id, int32_t size) override;
    void SetSliderPosition(int32_t id, int32_t position) override;
    int32_t SliderPosition(int32_t id) override;

private:
    HWND m_hDialog;
};

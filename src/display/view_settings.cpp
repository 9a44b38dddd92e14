#include "display/view_settings.h"

#include "shell/combo_tables.h"

const char* const kViewLabels[] = {"Waveform", "Spectrum", "None", nullptr};
const char* const kFrameSpeedLabels[] = {"Very Fast", "Fast", "Medium", "Slow", "Very Slow", "Super Slow", nullptr};
const int32_t kFrameSpeedValues[] = {30, 50, 100, 200, 500, 1000, -1};

int32_t FrameIntervalAt(int index) { return TableValueAt(kFrameSpeedValues, index); }

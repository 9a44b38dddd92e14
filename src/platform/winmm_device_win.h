// The Windows binding of the wave device table: winmm's waveIn*, waveOut*
// and aux* functions, with completion handling moved to a thread of ours.
#pragma once

#include "platform/wave_device.h"

const WaveDeviceTable* WinmmWaveDeviceTable();

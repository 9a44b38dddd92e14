// The Windows binding of the wave device table: winmm's waveIn*, waveOut*
// and aux* functions, with completion handling moved to a thread of ours.
#pragma once

#include "platform/wave_device.h"

const WaveDeviceTable* WinmmWaveDeviceTable();

// The table the program uses, chosen at start-up: winmm, unless the
// environment variable MIRRAVOX_WAVE_DEVICE names another one for a test or
// fault-injection run:
//   "sim"                the simulated device, real-time paced;
//   "sim-refuse-format"  the simulated device refusing every format (32);
//   "sim-open-fails"     the simulated device failing every open (4, in use);
//   "none"               no wave device at all.
// Anything else selects winmm.
void SelectStartupWaveDevice();

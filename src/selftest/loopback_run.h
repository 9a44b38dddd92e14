// The loopback run: for each format, plays the programme through the
// playback session while the capture session records it, with the devices
// g_nInputDeviceId and g_nOutputDeviceId, then analyses the recording.
//
// Order, per format: set the format, size both stores for the whole run,
// begin the capture and wait until the input delivers sound (some systems
// deliver nothing for seconds after the open), begin the playback, poll the
// frames recorded and played against the performance counter until the
// output has played the whole programme, then stop both sessions. Nothing
// here shows anything; a format that cannot run is reported with its reason.
#pragma once

#include <vector>

#include "selftest/loopback_report.h"
#include "selftest/test_signals.h"

struct LoopbackOptions {
    std::vector<LoopbackFormat> formats;
    ProgrammeTimes times;
    double firstSoundSeconds = 10; // how long the input may stay silent after its start
};

// The formats run when none is named: 44100,2,16; 48000,2,16; 96000,2,24.
std::vector<LoopbackFormat> DefaultLoopbackFormats();

// Plays and records one programme; false with the reason when it could not.
bool PlayAndRecord(const Programme& programme, double firstSoundSeconds, Recording* recording, std::string* whyNot);

// Every format in turn. Leaves the format globals, the stores and the
// playback source as a main window would find them after a start-up: the
// stores freed and no source.
LoopbackReport RunLoopback(const LoopbackOptions& options);

// The device ids the sessions open: the default-device rule run at start-up,
// and the mapping of the device selection dialog's choice back to a device id.
//
// Portable core. Device ids are positions 0 to count - 1 in the system's
// device list; kWaveMapperId (all bits set) selects the system's default device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CWave;

// The format-mask bit of 44.1 kHz, stereo, 16-bit.
constexpr uint32_t kDefaultDeviceFormatBit = 0x800;

// The id that the dialog stores for a chosen device that has gone from the
// list before OK: no device list reaches it, so the next open of that
// direction fails ("not able to be opened") instead of opening another device.
constexpr uint32_t kVanishedDeviceId = 0xFFFFFFFEu;

// The last id whose mask has the 44.1 kHz stereo 16-bit bit; 0 when none has
// it or there is no device.
uint32_t DefaultDeviceId(const std::vector<uint32_t>& formatMasks);

std::vector<uint32_t> InputFormatMasks(const CWave& wave);
std::vector<uint32_t> OutputFormatMasks(const CWave& wave);

// Sets g_nInputDeviceId and g_nOutputDeviceId by the default rule. Called once
// by the main window's initialisation.
void ChooseDefaultDevices();

// The id for the entry `selected` of a list that showed `shown` when the
// dialog opened, given the names listed now: -1 (no selection) gives the wave
// mapper; a device still at its place keeps its id; one that moved is
// followed to its new place; one that is gone gives kVanishedDeviceId.
uint32_t ChosenDeviceId(const std::vector<std::string>& shown, int selected, const std::vector<std::string>& now);

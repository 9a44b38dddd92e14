// What the wave capabilities dialog shows about one device: the identity
// fields, the channel text, the twelve basic formats of the format mask, the
// answers of the device to 48 further formats, and the optional features.
//
// Portable core. Everything is read through a CWave (its capability queries
// and QueryFormat), so the rules run natively on the simulated device's lists.
// The dialog procedure only puts these texts into its controls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/wave_device.h"

class CWave;

enum class WaveDeviceKind : int { Input = 0, Output = 1, Aux = 2 };

// A device name from its record: at most the record's 32 characters, even
// when the driver did not terminate it.
std::string DeviceNameText(const char (&name)[kDeviceNameChars]);

// The names of every device of the kind, in id order.
std::vector<std::string> WaveDeviceNames(const CWave& wave, WaveDeviceKind kind);

// "N/A" for 0 and 65535, "Mono", "Stereo", "Quadraphonic", "6 Channel", else the number.
std::string ChannelText(uint32_t channels);

struct BasicFormat {
    uint32_t nMaskBit;
    const char* pszText; // followed by " - Yes" or " - No"
};
extern const BasicFormat kBasicFormats[12];

struct ProbeFormat {
    int32_t nRate; // Hz; the table ends at a row whose rate is 0
    int32_t nChannels;
    int32_t nBits;
    uint32_t nChannelMask;
};
extern const ProbeFormat kProbeFormats[49];

// "44.1 kHz, stereo, 24-bit" and the like, without the answer.
std::string ProbeFormatText(const ProbeFormat& row);

struct WaveDeviceInformation {
    std::string manufacturer; // unsigned decimal
    std::string product;
    std::string driverVersion; // the raw 32-bit number
    std::string channels;
    std::vector<std::string> formats;    // list 1053
    std::vector<std::string> additional; // list 1055
};

// The device of that kind and index (-1: the kind has no device).
WaveDeviceInformation DescribeWaveDevice(const CWave& wave, WaveDeviceKind kind, int index);

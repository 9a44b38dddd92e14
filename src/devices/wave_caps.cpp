#include "devices/wave_caps.h"

#include <cstdio>
#include <cstring>

#include "audio/wave.h"

namespace {

struct SupportLine {
    uint32_t nFlag;
    const char* pszText;
};

constexpr SupportLine kOutputSupport[] = {
    {0x4, "- Supports volume control"},
    {0x8, "- Supports separate left and right volume control"},
    {0x2, "- Supports playback rate control"},
    {0x1, "- Supports pitch control"},
    {0x10, "- The driver is synchronous and will block while playing a buffer"},
    {0x20, "- Returns sample-accurate position information"},
};
constexpr SupportLine kAuxSupport[] = {
    {0x4, "- Supports volume control"},
    {0x8, "- Supports separate left and right volume control"},
};

const char kNoFormats[] = "Could not determine available formats";
const char kNoAdditional[] = "- No additional information";

std::string Unsigned(uint32_t value) { return std::to_string(value); }

const char* Answer(bool yes) { return yes ? " - Yes" : " - No"; }

template <size_t N>
void AddSupportLines(std::vector<std::string>& lines, uint32_t support, const SupportLine (&table)[N])
{
    for (const SupportLine& line : table)
        if (support & line.nFlag) lines.push_back(line.pszText);
}

} // namespace

const BasicFormat kBasicFormats[12] = {
    {0x1, "11.025 kHz, mono, 8-bit"},    {0x4, "11.025 kHz, mono, 16-bit"},   {0x2, "11.025 kHz, stereo, 8-bit"},
    {0x8, "11.025 kHz, stereo, 16-bit"}, {0x10, "22.05 kHz, mono, 8-bit"},    {0x40, "22.05 kHz, mono, 16-bit"},
    {0x20, "22.05 kHz, stereo, 8-bit"},  {0x80, "22.05 kHz, stereo, 16-bit"}, {0x100, "44.1 kHz, mono, 8-bit"},
    {0x400, "44.1 kHz, mono, 16-bit"},   {0x200, "44.1 kHz, stereo, 8-bit"},  {0x800, "44.1 kHz, stereo, 16-bit"},
};

// Channel masks: 0 mono, 3 stereo, 0x33 four channels, 0x3F six. One line per
// rate and channel count.
// clang-format off
const ProbeFormat kProbeFormats[49] = {
    {44100, 1, 18, 0}, {44100, 1, 20, 0}, {44100, 1, 24, 0}, {44100, 1, 32, 0},
    {44100, 2, 18, 3}, {44100, 2, 20, 3}, {44100, 2, 24, 3}, {44100, 2, 32, 3},
    {44100, 4, 16, 0x33}, {44100, 4, 18, 0x33}, {44100, 4, 20, 0x33}, {44100, 4, 24, 0x33}, {44100, 4, 32, 0x33},
    {44100, 6, 16, 0x3F}, {44100, 6, 18, 0x3F}, {44100, 6, 20, 0x3F}, {44100, 6, 24, 0x3F}, {44100, 6, 32, 0x3F},
    {64000, 1, 8, 0}, {64000, 1, 16, 0}, {64000, 1, 24, 0}, {64000, 1, 32, 0},
    {64000, 2, 8, 3}, {64000, 2, 16, 3}, {64000, 2, 24, 3}, {64000, 2, 32, 3},
    {64000, 6, 16, 0x3F}, {64000, 6, 24, 0x3F},
    {96000, 1, 8, 0}, {96000, 1, 16, 0}, {96000, 1, 24, 0}, {96000, 1, 32, 0},
    {96000, 2, 8, 3}, {96000, 2, 16, 3}, {96000, 2, 24, 3}, {96000, 2, 32, 3},
    {96000, 6, 16, 0x3F}, {96000, 6, 24, 0x3F},
    {128000, 1, 8, 0}, {128000, 1, 16, 0}, {128000, 1, 24, 0}, {128000, 1, 32, 0},
    {128000, 2, 8, 3}, {128000, 2, 16, 3}, {128000, 2, 24, 3}, {128000, 2, 32, 3},
    {128000, 6, 16, 0x3F}, {128000, 6, 24, 0x3F},
    {0, 0, 0, 0},
};
// clang-format on

std::string DeviceNameText(const char (&name)[kDeviceNameChars])
{
    const void* end = std::memchr(name, '\0', kDeviceNameChars);
    const size_t length = end ? size_t(static_cast<const char*>(end) - name) : size_t(kDeviceNameChars);
    return std::string(name, length);
}

std::vector<std::string> WaveDeviceNames(const CWave& wave, WaveDeviceKind kind)
{
    std::vector<std::string> names;
    switch (kind) {
    case WaveDeviceKind::Input:
        for (uint32_t id = 0, n = wave.GetInputDeviceCount(); id < n; ++id) {
            WaveInCaps caps;
            wave.GetInputCaps(id, &caps);
            names.push_back(DeviceNameText(caps.szPname));
        }
        break;
    case WaveDeviceKind::Output:
        for (uint32_t id = 0, n = wave.GetOutputDeviceCount(); id < n; ++id) {
            WaveOutCaps caps;
            wave.GetOutputCaps(id, &caps);
            names.push_back(DeviceNameText(caps.szPname));
        }
        break;
    case WaveDeviceKind::Aux:
        for (uint32_t id = 0, n = wave.GetAuxDeviceCount(); id < n; ++id) {
            AuxCaps caps;
            wave.GetAuxCaps(id, &caps);
            names.push_back(DeviceNameText(caps.szPname));
        }
        break;
    }
    return names;
}

std::string ChannelText(uint32_t channels)
{
    switch (channels) {
    case 0:
    case 65535: return "N/A";
    case 1: return "Mono";
    case 2: return "Stereo";
    case 4: return "Quadraphonic";
    case 6: return "6 Channel";
    default: return std::to_string(channels);
    }
}

std::string ProbeFormatText(const ProbeFormat& row)
{
    const double kHz = row.nRate / 1000.0;
    char text[96];
    switch (row.nChannels) {
    case 1: std::snprintf(text, sizeof text, "%0.1f kHz, mono, %d-bit", kHz, row.nBits); break;
    case 2: std::snprintf(text, sizeof text, "%0.1f kHz, stereo, %d-bit", kHz, row.nBits); break;
    case 4: std::snprintf(text, sizeof text, "%0.1f kHz, Quadraphonic, %d-bit", kHz, row.nBits); break;
    case 6: std::snprintf(text, sizeof text, "%0.1f kHz, 5.1 (6 channels), %d-bit", kHz, row.nBits); break;
    default: std::snprintf(text, sizeof text, "%0.1f kHz, %dch, %d-bit", kHz, row.nChannels, row.nBits); break;
    }
    return text;
}

WaveDeviceInformation DescribeWaveDevice(const CWave& wave, WaveDeviceKind kind, int index)
{
    const bool present = index >= 0;
    const uint32_t id = static_cast<uint32_t>(index);
    uint32_t mid = 0, pid = 0, version = 0, channels = 0, mask = 0, support = 0;
    if (present) {
        if (kind == WaveDeviceKind::Input) {
            WaveInCaps caps;
            wave.GetInputCaps(id, &caps);
            mid = caps.wMid, pid = caps.wPid, version = caps.vDriverVersion;
            channels = caps.wChannels, mask = caps.dwFormats;
        } else if (kind == WaveDeviceKind::Output) {
            WaveOutCaps caps;
            wave.GetOutputCaps(id, &caps);
            mid = caps.wMid, pid = caps.wPid, version = caps.vDriverVersion;
            channels = caps.wChannels, mask = caps.dwFormats, support = caps.dwSupport;
        } else {
            AuxCaps caps;
            wave.GetAuxCaps(id, &caps);
            mid = caps.wMid, pid = caps.wPid, version = caps.vDriverVersion;
            support = caps.dwSupport;
        }
    }

    WaveDeviceInformation info;
    info.manufacturer = Unsigned(mid);
    info.product = Unsigned(pid);
    info.driverVersion = Unsigned(version);
    info.channels = ChannelText(channels);

    if (present && kind != WaveDeviceKind::Aux) {
        info.formats.push_back("----- BASIC FORMATS -----");
        for (const BasicFormat& f : kBasicFormats)
            info.formats.push_back(std::string(f.pszText) + Answer((mask & f.nMaskBit) != 0));
        info.formats.push_back("----- OTHER FORMATS -----");
        const int direction = kind == WaveDeviceKind::Input ? 0 : 1;
        for (const ProbeFormat* row = kProbeFormats; row->nRate != 0; ++row) {
            const uint32_t result =
                wave.QueryFormat(id, direction, row->nRate, row->nChannels, row->nBits, row->nChannelMask);
            info.formats.push_back(ProbeFormatText(*row) + Answer(result == kWaveOk));
        }
    } else {
        info.formats.push_back(kNoFormats);
    }

    if (present && kind == WaveDeviceKind::Output)
        AddSupportLines(info.additional, support, kOutputSupport);
    else if (present && kind == WaveDeviceKind::Aux)
        AddSupportLines(info.additional, support, kAuxSupport);
    else
        info.additional.push_back(kNoAdditional);
    return info;
}

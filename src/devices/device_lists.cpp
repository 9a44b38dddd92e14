#include "devices/device_lists.h"

#include "audio/wave.h"
#include "state/session_state.h"
#include "state/sound_format.h"

uint32_t DefaultDeviceId(const std::vector<uint32_t>& formatMasks)
{
    uint32_t chosen = 0;
    for (uint32_t id = 0; id < formatMasks.size(); ++id)
        if (formatMasks[id] & kDefaultDeviceFormatBit) chosen = id;
    return chosen;
}

std::vector<uint32_t> InputFormatMasks(const CWave& wave)
{
    std::vector<uint32_t> masks;
    for (uint32_t id = 0, n = wave.GetInputDeviceCount(); id < n; ++id) {
        WaveInCaps caps;
        wave.GetInputCaps(id, &caps);
        masks.push_back(caps.dwFormats);
    }
    return masks;
}

std::vector<uint32_t> OutputFormatMasks(const CWave& wave)
{
    std::vector<uint32_t> masks;
    for (uint32_t id = 0, n = wave.GetOutputDeviceCount(); id < n; ++id) {
        WaveOutCaps caps;
        wave.GetOutputCaps(id, &caps);
        masks.push_back(caps.dwFormats);
    }
    return masks;
}

void ChooseDefaultDevices()
{
    const CWave wave(g_nBlockSize, g_nChannels, g_nSampleRate, g_nBitsPerSample);
    g_nInputDeviceId = DefaultDeviceId(InputFormatMasks(wave));
    g_nOutputDeviceId = DefaultDeviceId(OutputFormatMasks(wave));
}

uint32_t ChosenDeviceId(const std::vector<std::string>& shown, int selected, const std::vector<std::string>& now)
{
    if (selected < 0 || size_t(selected) >= shown.size()) return kWaveMapperId;
    const std::string& name = shown[size_t(selected)];
    if (size_t(selected) < now.size() && now[size_t(selected)] == name) return uint32_t(selected);
    for (size_t id = 0; id < now.size(); ++id)
        if (now[id] == name) return uint32_t(id);
    return kVanishedDeviceId;
}

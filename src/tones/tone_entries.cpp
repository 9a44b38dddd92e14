#include "tones/tone_entries.h"

#include <algorithm>
#include <cctype>
#include <limits>

int32_t g_nToneShape = 0;
int32_t g_nToneAmplitude = 50;
int32_t g_nToneFrequency = 3000;
int32_t g_nToneSeconds = 1;

std::optional<uint32_t> ParseToneField(const char* text)
{
    if (text == nullptr) return std::nullopt;
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p))) return std::nullopt;
    uint64_t value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        value = value * 10 + uint64_t(*p - '0');
        if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != '\0') return std::nullopt;
    return static_cast<uint32_t>(value);
}

ToneCheck CheckToneEntries(const ToneEntryTexts& texts, const ToneSoundFormat& format, bool saving,
                           const ToneBoxFn& show)
{
    ToneCheck check;

    const std::optional<uint32_t> amplitude = ParseToneField(texts.pszAmplitude);
    check.nAmplitude = static_cast<int32_t>(amplitude.value_or(0));
    check.nFieldsRead = 1;
    if (!amplitude || *amplitude > 100) {
        show(MessageBoxId::AmplitudeInvalid);
        return check;
    }

    const std::optional<uint32_t> frequency = ParseToneField(texts.pszFrequency);
    check.nFrequency = static_cast<int32_t>(frequency.value_or(0));
    check.nFieldsRead = 2;
    if (!frequency || *frequency < 1 || *frequency > 60000) {
        show(MessageBoxId::FrequencyInvalid);
        return check;
    }
    const int64_t halfRate = format.nSampleRate / 2;
    if (int64_t(*frequency) >= halfRate && !show(MessageBoxId::FrequencyTooHigh)) return check;

    const std::optional<uint32_t> seconds = ParseToneField(texts.pszSeconds);
    const uint32_t secondsValue = seconds.value_or(0);
    check.nSeconds = static_cast<int32_t>(secondsValue);
    check.nGenerateSeconds =
        static_cast<int32_t>(std::min<uint32_t>(secondsValue, std::numeric_limits<int32_t>::max()));
    check.nFieldsRead = 3;

    if (saving) {
        const int64_t bytes =
            int64_t(format.nBitsPerSample / 8) * format.nChannels * int64_t(secondsValue) * format.nSampleRate;
        if ((bytes > kToneFileWarningBytes || !seconds) && !show(MessageBoxId::FileSizeWarning)) return check;
    }
    check.bAccepted = true;
    return check;
}

void RememberToneEntries(const ToneCheck& check)
{
    if (check.nFieldsRead >= 1) g_nToneAmplitude = check.nAmplitude;
    if (check.nFieldsRead >= 2) g_nToneFrequency = check.nFrequency;
    if (check.nFieldsRead >= 3) g_nToneSeconds = check.nSeconds;
}

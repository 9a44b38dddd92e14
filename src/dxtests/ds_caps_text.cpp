#include "dxtests/ds_caps_text.h"

#include "resource.h"

#include <cstdio>

namespace {

// DSCAPS flag bits as DirectSound publishes them.
constexpr uint32_t kPrimaryMono = 0x1;
constexpr uint32_t kPrimaryStereo = 0x2;
constexpr uint32_t kPrimary8Bit = 0x4;
constexpr uint32_t kPrimary16Bit = 0x8;
constexpr uint32_t kContinuousRate = 0x10;
constexpr uint32_t kEmulatedDriver = 0x20;
constexpr uint32_t kCertified = 0x40;
constexpr uint32_t kSecondaryMono = 0x100;
constexpr uint32_t kSecondaryStereo = 0x200;
constexpr uint32_t kSecondary8Bit = 0x400;
constexpr uint32_t kSecondary16Bit = 0x800;

struct Sentence {
    uint32_t bit;
    const char* whenSet;
    const char* whenClear; // null: nothing is said
};

const Sentence kSentences[] = {
    {kCertified, "- This driver has been tested and certified by Microsoft",
     "- This driver has not been certified by Microsoft"},
    {kContinuousRate, "- Driver supports a continuous range of sample rates", nullptr},
    {kEmulatedDriver, "- No DirectSound driver is installed. Waveform emulation is being used",
     "- A DirectSound driver is installed"},
    {kPrimary16Bit, "- The device supports primary sound buffers with 16-bit samples", nullptr},
    {kPrimary8Bit, "- The device supports primary sound buffers with 8-bit samples", nullptr},
    {kPrimaryMono, "- The device supports monophonic primary buffers", nullptr},
    {kPrimaryStereo, "- The device supports stereo primary buffers", nullptr},
    {kSecondary16Bit, "- The device supports hardware-mixed secondary buffers with 16-bit samples", nullptr},
    {kSecondary8Bit, "- The device supports hardware-mixed secondary buffers with 8-bit samples", nullptr},
    {kSecondaryMono, "- The device supports hardware-mixed monophonic secondary buffers", nullptr},
    {kSecondaryStereo, "- The device supports hardware-mixed stereo secondary buffers", nullptr},
};

std::string Unsigned(uint32_t value) { return std::to_string(value); }

// The counts of free buffers and memory are shown as signed numbers.
std::string Free(uint32_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d free", static_cast<int>(value));
    return text;
}

} // namespace

std::vector<DsCapsField> DsCapsFieldTexts(const DsCaps& c)
{
    char rates[48];
    std::snprintf(rates, sizeof rates, "%d - %d", static_cast<int>(c.dwMinSecondarySampleRate),
                  static_cast<int>(c.dwMaxSecondarySampleRate));
    const bool hasMemory = c.dwTotalHwMemBytes != 0;
    return {
        {IDC_DSCAPS_RATES, rates},
        {IDC_DSCAPS_MIX_ALL, Unsigned(c.dwMaxHwMixingAllBuffers)},
        {IDC_DSCAPS_MIX_STATIC, Unsigned(c.dwMaxHwMixingStaticBuffers)},
        {IDC_DSCAPS_MIX_STREAM, Unsigned(c.dwMaxHwMixingStreamingBuffers)},
        {IDC_DSCAPS_MIX_ALL_FREE, Free(c.dwFreeHwMixingAllBuffers)},
        {IDC_DSCAPS_MIX_STATIC_FREE, Free(c.dwFreeHwMixingStaticBuffers)},
        {IDC_DSCAPS_MIX_STREAM_FREE, Free(c.dwFreeHwMixingStreamingBuffers)},
        {IDC_DSCAPS_3D_ALL, Unsigned(c.dwMaxHw3DAllBuffers)},
        {IDC_DSCAPS_3D_STATIC, Unsigned(c.dwMaxHw3DStaticBuffers)},
        {IDC_DSCAPS_3D_STREAM, Unsigned(c.dwMaxHw3DStreamingBuffers)},
        {IDC_DSCAPS_3D_ALL_FREE, Free(c.dwFreeHw3DAllBuffers)},
        {IDC_DSCAPS_3D_STATIC_FREE, Free(c.dwFreeHw3DStaticBuffers)},
        {IDC_DSCAPS_3D_STREAM_FREE, Free(c.dwFreeHw3DStreamingBuffers)},
        {IDC_DSCAPS_MEMORY, hasMemory ? Unsigned(c.dwTotalHwMemBytes) : "N/A"},
        {IDC_DSCAPS_MEMORY_FREE, hasMemory ? Free(c.dwFreeHwMemBytes) : "N/A"},
    };
}

std::vector<const char*> DsFlagSentences(uint32_t flags)
{
    std::vector<const char*> sentences;
    for (const Sentence& s : kSentences) {
        const char* text = (flags & s.bit) ? s.whenSet : s.whenClear;
        if (text) sentences.push_back(text);
    }
    return sentences;
}

#include "dxtests/ds_caps_text.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::map<int, std::string> Fields(const DsCaps& caps)
{
    std::map<int, std::string> byId;
    for (const DsCapsField& f : DsCapsFieldTexts(caps)) byId[f.controlId] = f.text;
    return byId;
}

// The all-zero record is read back from the real dialog (tests/win).
TEST(DsCapsText, CountsAreUnsignedAndFreeCountsSigned)
{
    DsCaps c{};
    c.dwMinSecondarySampleRate = 100;
    c.dwMaxSecondarySampleRate = 200000;
    c.dwMaxHwMixingAllBuffers = 1;
    c.dwMaxHwMixingStaticBuffers = 2;
    c.dwMaxHwMixingStreamingBuffers = 3;
    c.dwFreeHwMixingAllBuffers = 4;
    c.dwFreeHwMixingStaticBuffers = 5;
    c.dwFreeHwMixingStreamingBuffers = 6;
    c.dwMaxHw3DAllBuffers = 7;
    c.dwMaxHw3DStaticBuffers = 8;
    c.dwMaxHw3DStreamingBuffers = 4294967295u; // counts are unsigned
    c.dwFreeHw3DAllBuffers = 10;
    c.dwFreeHw3DStaticBuffers = 11;
    c.dwFreeHw3DStreamingBuffers = 4294967295u; // "%d free" reads it signed
    c.dwTotalHwMemBytes = 2097152;
    c.dwFreeHwMemBytes = 1048576;
    std::map<int, std::string> f = Fields(c);
    const std::map<int, std::string> expected = {
        {IDC_DSCAPS_RATES, "100 - 200000"},
        {IDC_DSCAPS_MIX_ALL, "1"},
        {IDC_DSCAPS_MIX_STATIC, "2"},
        {IDC_DSCAPS_MIX_STREAM, "3"},
        {IDC_DSCAPS_MIX_ALL_FREE, "4 free"},
        {IDC_DSCAPS_MIX_STATIC_FREE, "5 free"},
        {IDC_DSCAPS_MIX_STREAM_FREE, "6 free"},
        {IDC_DSCAPS_3D_ALL, "7"},
        {IDC_DSCAPS_3D_STATIC, "8"},
        {IDC_DSCAPS_3D_STREAM, "4294967295"},
        {IDC_DSCAPS_3D_ALL_FREE, "10 free"},
        {IDC_DSCAPS_3D_STATIC_FREE, "11 free"},
        {IDC_DSCAPS_3D_STREAM_FREE, "-1 free"},
        {IDC_DSCAPS_MEMORY, "2097152"},
        {IDC_DSCAPS_MEMORY_FREE, "1048576 free"},
    };
    EXPECT_EQ(f, expected);
}

TEST(DsCapsText, FlagSentencesInOrder)
{
    struct Case {
        uint32_t flags;
        std::vector<std::string> sentences;
    };
    const std::string notCertified = "- This driver has not been certified by Microsoft";
    const std::string driver = "- A DirectSound driver is installed";
    const Case cases[] = {
        {0, {notCertified, driver}},
        {0xFFFFF000u, {notCertified, driver}}, // bits nobody speaks of
        {0x40 | 0x20,
         {"- This driver has been tested and certified by Microsoft",
          "- No DirectSound driver is installed. Waveform emulation is being used"}},
        {0xF1F,
         {notCertified, "- Driver supports a continuous range of sample rates", driver,
          "- The device supports primary sound buffers with 16-bit samples",
          "- The device supports primary sound buffers with 8-bit samples",
          "- The device supports monophonic primary buffers", "- The device supports stereo primary buffers",
          "- The device supports hardware-mixed secondary buffers with 16-bit samples",
          "- The device supports hardware-mixed secondary buffers with 8-bit samples",
          "- The device supports hardware-mixed monophonic secondary buffers",
          "- The device supports hardware-mixed stereo secondary buffers"}},
        {0x2 | 0x100,
         {notCertified, driver, "- The device supports stereo primary buffers",
          "- The device supports hardware-mixed monophonic secondary buffers"}},
    };
    for (const Case& c : cases) {
        std::vector<const char*> got = DsFlagSentences(c.flags);
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), c.sentences) << std::hex << c.flags;
    }
}

} // namespace

// The format records CWave gives the device, format queries and capability records.
#include "audio/wave.h"
#include "platform/sim_wave_device.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace {

struct WaveFormat : ::testing::Test {
    void SetUp() override { SimReset(), SetWaveDeviceTable(SimWaveDeviceTable()); }
    void TearDown() override
    {
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(nullptr);
    }
};

// Tag, channels, rate, bits, block align, bytes a second, extra bytes, valid bits, mask, PCM subformat.
using Record = std::tuple<int, int, int, int, int, int, int, int, uint32_t, bool>;
Record Fields(const WaveFormatExtensible& f)
{
    const WaveFormatEx& x = f.Format;
    return std::make_tuple(int(x.wFormatTag), int(x.nChannels), int(x.nSamplesPerSec), int(x.wBitsPerSample),
                           int(x.nBlockAlign), int(x.nAvgBytesPerSec), int(x.cbSize), int(f.wValidBitsPerSample),
                           f.dwChannelMask, SameGuid(f.SubFormat, kPcmSubFormat));
}
// validBits 0 for plain PCM. Block align and byte rate come from the bits asked for, not the container.
Record Expected(int channels, int rate, int bits, int validBits, uint32_t mask)
{
    const int sample = validBits ? validBits : bits, extensible = validBits != 0;
    return std::make_tuple(extensible ? kWaveFormatExtensible : kWaveFormatPcm, channels, rate, bits,
                           channels * sample / 8, channels * rate * sample / 8, extensible * 22, validBits, mask,
                           validBits != 0);
}

TEST_F(WaveFormat, ConstructorCorrectionsReachTheDevice)
{
    const struct {
        int blockSamples, channels, rate, bits, openChannels, openRate, openBits, blockBytes, mask;
    } cases[] = {
        {512, 1, 5000, 8, 1, 11025, 8, 512, 0},      {512, 3, 44100, 16, 1, 44100, 16, 1024, 0},
        {512, 1, 44100, 32, 1, 44100, 8, 512, 0},    {512, 2, 200000, 16, 2, 11025, 16, 2048, 0},
        {1024, 2, 48000, 24, 2, 48000, 24, 6144, 3}, // 24 bits are extensible: front left and right
        {1024, 1, 96000, 24, 1, 96000, 24, 3072, 4}, // front centre
    };
    for (const auto& c : cases) {
        CWave wave(c.blockSamples, c.channels, c.rate, c.bits);
        EXPECT_EQ(wave.m_nBlockBytes, c.blockBytes);
        ASSERT_EQ(wave.OpenOutput(0), kWaveOk);
        EXPECT_EQ(Fields(SimOpenLog().back().format),
                  Expected(c.openChannels, c.openRate, c.openBits, c.mask ? c.openBits : 0, uint32_t(c.mask)));
    }
}

// The driver itself is asked (direct, query only): PCM, then, if refused, extensible in a whole-byte container.
TEST_F(WaveFormat, QueryAsksForPcmThenExtensibleAndOpensNothing)
{
    CWave wave(512, 1, 11025, 8);
    EXPECT_EQ(wave.QueryFormat(0, 2, 44100, 2, 16, 3), 1u) << "neither input (0) nor output (1)";
    EXPECT_EQ(wave.QueryFormat(0, -1, 44100, 2, 16, 3), 1u);
    EXPECT_EQ(wave.QueryFormat(0, 0, 44100, 2, 16, 3), 0u);
    ASSERT_EQ(SimOpenLog().size(), 1u) << "only an accepted PCM record was asked about";
    EXPECT_EQ(SimOpenLog()[0].direction, kSimInput);

    SimSetOutputDevices({WaveOutCaps{}, WaveOutCaps{}});
    SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible& f) {
        return f.Format.wFormatTag == kWaveFormatExtensible;
    });
    const std::pair<int, int> sizes[] = {{12, 16}, {18, 24}, {20, 24}, {24, 24}, {28, 32}, {40, 40}};
    for (const auto& [bits, container] : sizes) {
        const size_t first = SimOpenLog().size();
        EXPECT_EQ(wave.QueryFormat(1, 1, 96000, 6, bits, 0x3F), 0u);
        const auto log = SimOpenLog();
        ASSERT_EQ(log.size(), first + 2);
        EXPECT_EQ(std::make_tuple(Fields(log[first].format), Fields(log[first + 1].format), log[first].direction,
                                  log[first + 1].deviceId, log[first + 1].flags),
                  std::make_tuple(Expected(6, 96000, bits, 0, 0), Expected(6, 96000, container, bits, 0x3F), kSimOutput,
                                  1u, kWaveOpenQuery | kWaveOpenDirect))
            << bits << " bits";
    }
    SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible&) { return false; });
    EXPECT_EQ(wave.QueryFormat(0, 0, 44100, 1, 24, 0), kWaveErrBadFormat);
    EXPECT_EQ(SimOpenDeviceCount(), 0);
}

TEST_F(WaveFormat, CapabilityRecordsComeFromTheDeviceOrAreEmpty)
{
    SimSetInputDevices({});
    CWave wave(512, 1, 11025, 8);
    WaveOutCaps out;
    WaveInCaps in = {1, 2, 3, "stale", 4, 5, 6};
    wave.GetOutputCaps(0, &out);
    wave.GetInputCaps(0, &in);
    EXPECT_STREQ(out.szPname, "Sim Output");
    EXPECT_TRUE(in.szPname[0] == '\0' && in.dwFormats == 0) << "a device that cannot be asked gives an empty record";
}

} // namespace

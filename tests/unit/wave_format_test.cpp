// The format records CWave gives the device, format queries and capability records.
#include "audio/wave.h"
#include "platform/sim_wave_device.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

class WaveFormat : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetStepped(true);
    }
    void TearDown() override
    {
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(nullptr);
    }
};

struct OpenCase {
    int blockSamples, channels, rate, bits;   // given to the constructor
    uint16_t tag;
    int openChannels, openRate, openBits;     // what the device is opened with
    uint32_t mask;
    int blockBytes;
};

TEST_F(WaveFormat, ConstructorCorrectionsReachTheDevice)
{
    const OpenCase cases[] = {
        {512, 1, 5000, 8, kWaveFormatPcm, 1, 11025, 8, 0, 512},
        {512, 3, 44100, 16, kWaveFormatPcm, 1, 44100, 16, 0, 1024},
        {512, 1, 44100, 32, kWaveFormatPcm, 1, 44100, 8, 0, 512},
        {512, 2, 200000, 16, kWaveFormatPcm, 2, 11025, 16, 0, 2048},
        {1024, 2, 48000, 24, kWaveFormatExtensible, 2, 48000, 24, 3, 6144},
        {1024, 1, 96000, 24, kWaveFormatExtensible, 1, 96000, 24, 4, 3072},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " ch, " + std::to_string(c.rate) + " Hz, " +
                     std::to_string(c.bits) + " bits");
        CWave wave(c.blockSamples, c.channels, c.rate, c.bits);
        EXPECT_EQ(wave.m_nBlockBytes, c.blockBytes);
        ASSERT_EQ(wave.OpenOutput(0), kWaveOk);
        const WaveFormatExtensible f = SimOpenLog().back().format;
        EXPECT_EQ(f.Format.wFormatTag, c.tag);
        EXPECT_EQ(f.Format.nChannels, c.openChannels);
        EXPECT_EQ(f.Format.nSamplesPerSec, uint32_t(c.openRate));
        EXPECT_EQ(f.Format.wBitsPerSample, c.openBits);
        EXPECT_EQ(f.Format.nBlockAlign, c.openChannels * c.openBits / 8);
        EXPECT_EQ(f.Format.nAvgBytesPerSec, uint32_t(c.openChannels * c.openRate * c.openBits / 8));
        if (c.tag == kWaveFormatExtensible) {
            EXPECT_EQ(f.Format.cbSize, 22);
            EXPECT_EQ(f.wValidBitsPerSample, c.openBits);
            EXPECT_EQ(f.dwChannelMask, c.mask);
            EXPECT_TRUE(SameGuid(f.SubFormat, kPcmSubFormat));
        } else {
            EXPECT_EQ(f.Format.cbSize, 0);
        }
        EXPECT_EQ(wave.CloseOutput(), kWaveOk);
    }
}

TEST_F(WaveFormat, QueryWithUnknownDirectionAsksNoDevice)
{
    CWave wave(512, 1, 11025, 8);
    const uint32_t calls = SimCallCount();
    EXPECT_EQ(wave.QueryFormat(0, 2, 44100, 2, 16, 3), 1u);
    EXPECT_EQ(wave.QueryFormat(0, -1, 44100, 2, 16, 3), 1u);
    EXPECT_EQ(SimCallCount(), calls);
}

TEST_F(WaveFormat, QueryTriesPcmThenExtensibleWithoutOpening)
{
    CWave wave(512, 1, 11025, 8);
    EXPECT_EQ(wave.QueryFormat(0, 0, 44100, 2, 16, 3), 0u);
    EXPECT_EQ(SimOpenLog().size(), 1u) << "an accepted PCM record ends the query";

    const struct { int bits, container; } sizes[] = {
        {8, 8}, {12, 16}, {18, 24}, {20, 24}, {24, 24}, {28, 32}, {32, 32}, {40, 40}};
    for (const auto& s : sizes) {
        SimReset();
        SimSetOutputDevices({WaveOutCaps{}, WaveOutCaps{}});
        SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible& f) {
            return f.Format.wFormatTag == kWaveFormatExtensible;
        });
        EXPECT_EQ(wave.QueryFormat(1, 1, 96000, 6, s.bits, 0x3F), 0u);
        const auto log = SimOpenLog();
        ASSERT_EQ(log.size(), 2u);
        const WaveFormatExtensible& pcm = log[0].format;
        const WaveFormatExtensible& ext = log[1].format;
        EXPECT_EQ(pcm.Format.wFormatTag, kWaveFormatPcm);
        EXPECT_EQ(pcm.Format.wBitsPerSample, s.bits);
        EXPECT_EQ(ext.Format.wFormatTag, kWaveFormatExtensible);
        EXPECT_EQ(ext.Format.wBitsPerSample, s.container) << s.bits << " bits";
        EXPECT_EQ(ext.wValidBitsPerSample, s.bits);
        EXPECT_EQ(ext.dwChannelMask, 0x3Fu);
        EXPECT_EQ(ext.Format.cbSize, 22);
        EXPECT_TRUE(SameGuid(ext.SubFormat, kPcmSubFormat));
        for (const auto* f : {&pcm, &ext}) {
            EXPECT_EQ(f->Format.nBlockAlign, 6 * s.bits / 8);
            EXPECT_EQ(f->Format.nAvgBytesPerSec, uint32_t(96000 * 6 * s.bits / 8));
        }
        for (const SimOpenRecord& r : log) {
            EXPECT_EQ(r.direction, kSimOutput);
            EXPECT_EQ(r.deviceId, 1u);
            EXPECT_EQ(r.flags, kWaveOpenQuery | kWaveOpenDirect);
        }
    }
    EXPECT_EQ(SimOpenDeviceCount(), 0);

    SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible&) { return false; });
    EXPECT_EQ(wave.QueryFormat(0, 0, 44100, 1, 24, 0), kWaveErrBadFormat);
}

TEST_F(WaveFormat, CapabilityRecordsComeFromTheDevice)
{
    std::vector<WaveOutCaps> outs(3);
    for (int i = 0; i < 3; ++i) {
        outs[i] = WaveOutCaps{uint16_t(10 + i), uint16_t(20 + i), 0x0501, "", 0x800u * (i != 1), 2, 0,
                              0x2Cu};
        std::snprintf(outs[i].szPname, sizeof outs[i].szPname, "Speakers %d", i);
    }
    SimSetOutputDevices(outs);
    SimSetInputDevices({});
    SimSetAuxDevices({AuxCaps{7, 8, 0x0102, "Line In", 2, 0, 0x4}});

    CWave wave(512, 1, 11025, 8);
    EXPECT_EQ(wave.GetOutputDeviceCount(), 3u);
    EXPECT_EQ(wave.GetInputDeviceCount(), 0u);
    EXPECT_EQ(wave.GetAuxDeviceCount(), 1u);

    WaveOutCaps out;
    wave.GetOutputCaps(2, &out);
    EXPECT_STREQ(out.szPname, "Speakers 2");
    EXPECT_EQ(out.wPid, 22);
    EXPECT_EQ(out.dwFormats, 0x800u);

    AuxCaps aux;
    wave.GetAuxCaps(0, &aux);
    EXPECT_STREQ(aux.szPname, "Line In");

    WaveInCaps in;
    std::memset(&in, 0xAB, sizeof in);
    wave.GetInputCaps(0, &in);
    EXPECT_EQ(in.szPname[0], '\0') << "a device that cannot be asked gives an empty record";
    EXPECT_EQ(in.dwFormats, 0u);
}

} // namespace

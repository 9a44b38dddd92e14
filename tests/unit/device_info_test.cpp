// The capabilities dialog's texts and the device selection's rules, read
// from the simulated device's lists.
#include "audio/wave.h"
#include "devices/device_lists.h"
#include "devices/wave_caps.h"
#include "platform/sim_wave_device.h"
#include "state/app_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// A device's record (WaveInCaps or WaveOutCaps) with its name, format bits and channels.
template <class Caps>
Caps Named(const char* name, uint32_t formats, uint16_t channels = 2)
{
    Caps c = {};
    std::strncpy(c.szPname, name, sizeof c.szPname);
    c.dwFormats = formats, c.wChannels = channels;
    return c;
}

class DeviceInfo : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        m_pWave = std::make_unique<CWave>(1024, 2, 44100, 16); // asks the table chosen here
    }
    void TearDown() override
    {
        EXPECT_EQ(SimReset(), 0) << "a device was left open";
        SetWaveDeviceTable(nullptr);
        // The devices the other suites open.
        g_nInputDeviceId = g_nOutputDeviceId = kWaveMapperId;
    }
    std::unique_ptr<CWave> m_pWave;
};

TEST_F(DeviceInfo, DefaultDeviceIsTheLastWith44kStereo16)
{
    EXPECT_EQ((std::vector<uint32_t>{DefaultDeviceId({0x800, 0x0FF, 0xFFF}), DefaultDeviceId({0x800, 0xFFF, 0x400}),
                                     DefaultDeviceId({0x7FF, 0x400}), DefaultDeviceId({})}),
              (std::vector<uint32_t>{2, 1, 0, 0}));

    SimSetInputDevices({});
    SimSetOutputDevices(
        {Named<WaveOutCaps>("A", 0xFFF), Named<WaveOutCaps>("B", 0x7FF), Named<WaveOutCaps>("C", 0x800)});
    g_nInputDeviceId = g_nOutputDeviceId = kWaveMapperId;
    ChooseDefaultDevices();
    EXPECT_EQ(g_nOutputDeviceId, 2u);
    EXPECT_EQ(g_nInputDeviceId, 0u) << "no input device";
}

TEST_F(DeviceInfo, ChosenEntryFollowsItsDeviceOrFailsWhenItIsGone)
{
    const std::vector<std::string> shown = {"A", "B", "C"};
    // The entry selected, the names listed now, the id stored.
    const std::tuple<int, std::vector<std::string>, uint32_t> cases[] = {
        {1, {"A", "B", "C"}, 1u},
        {2, {"A", "B", "C", "D"}, 2u},
        {-1, {"A", "B", "C"}, kWaveMapperId},
        {2, {"A", "C"}, 1u}, // B unplugged: C moved up
        {1, {"A", "C"}, kVanishedDeviceId},
        {0, {}, kVanishedDeviceId},
    };
    for (const auto& [selected, now, id] : cases) EXPECT_EQ(ChosenDeviceId(shown, selected, now), id) << selected;
    EXPECT_EQ(ChosenDeviceId({}, -1, {}), kWaveMapperId) << "an empty list stores the wave mapper";

    // The id of a vanished device is refused by the device, so the session
    // reports a failed open.
    SimSetInputDevices({Named<WaveInCaps>("A", 0)});
    m_pWave->SetInputStore(nullptr);
    EXPECT_EQ(m_pWave->OpenInput(kVanishedDeviceId), kWaveErrBadDeviceId);
}

TEST_F(DeviceInfo, NamesStopAtTheRecordsEndWhenUnterminated)
{
    WaveInCaps full = Named<WaveInCaps>("", 0);
    std::memset(full.szPname, 'x', sizeof full.szPname); // no terminator; dwFormats follows
    full.dwFormats = 0x41414141;
    SimSetInputDevices({Named<WaveInCaps>("Line In", 0), full});
    EXPECT_EQ(WaveDeviceNames(*m_pWave, WaveDeviceKind::Input),
              (std::vector<std::string>{"Line In", std::string(32, 'x')}));
    EXPECT_TRUE(WaveDeviceNames(*m_pWave, WaveDeviceKind::Aux).empty());
}

TEST_F(DeviceInfo, FieldsAndChannelTexts)
{
    const std::pair<uint16_t, const char*> cases[] = {{0, "N/A"},          {65535, "N/A"},   {1, "Mono"}, {2, "Stereo"},
                                                      {4, "Quadraphonic"}, {6, "6 Channel"}, {8, "8"},    {3, "3"}};
    for (const auto& [channels, text] : cases) {
        WaveOutCaps caps = Named<WaveOutCaps>("Out", 0, channels);
        caps.wMid = 65535;
        caps.wPid = 101;
        caps.vDriverVersion = 0xFFFFFFFFu;
        SimSetOutputDevices({caps});
        const WaveDeviceInformation info = DescribeWaveDevice(*m_pWave, WaveDeviceKind::Output, 0);
        EXPECT_EQ(info.channels, text) << channels;
        EXPECT_EQ(info.manufacturer + " " + info.product + " " + info.driverVersion, "65535 101 4294967295");
    }
}

TEST_F(DeviceInfo, FormatListHasTheBasicFormatsAndTheProbe)
{
    SimSetInputDevices({Named<WaveInCaps>("In", 0x800 | 0x1)});
    // Six channels only in the extensible description; 32 bits never.
    SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible& f) {
        if (f.Format.wBitsPerSample == 32 || f.wValidBitsPerSample == 32) return false;
        return f.Format.nChannels != 6 || f.Format.wFormatTag == kWaveFormatExtensible;
    });
    const WaveDeviceInformation info = DescribeWaveDevice(*m_pWave, WaveDeviceKind::Input, 0);
    ASSERT_EQ(info.formats.size(), 1u + 12 + 1 + 48);
    EXPECT_EQ(info.formats[0], "----- BASIC FORMATS -----");
    EXPECT_EQ(info.formats[1], "11.025 kHz, mono, 8-bit - Yes");
    EXPECT_EQ(info.formats[2], "11.025 kHz, mono, 16-bit - No");
    EXPECT_EQ(info.formats[12], "44.1 kHz, stereo, 16-bit - Yes");
    EXPECT_EQ(info.formats[13], "----- OTHER FORMATS -----");
    EXPECT_EQ(info.formats[14], "44.1 kHz, mono, 18-bit - Yes");
    EXPECT_EQ(info.formats[17], "44.1 kHz, mono, 32-bit - No");
    EXPECT_EQ(info.formats[20], "44.1 kHz, stereo, 24-bit - Yes");
    EXPECT_EQ(info.formats[22], "44.1 kHz, Quadraphonic, 16-bit - Yes");
    EXPECT_EQ(info.formats[27], "44.1 kHz, 5.1 (6 channels), 16-bit - Yes") << "accepted as extensible only";
    EXPECT_EQ(info.formats[61], "128.0 kHz, 5.1 (6 channels), 24-bit - Yes");
    EXPECT_EQ(info.additional, std::vector<std::string>{"- No additional information"});

    // Every probe row was asked of input device 0, without opening it.
    const auto log = SimOpenLog();
    EXPECT_TRUE(std::all_of(log.begin(), log.end(), [](const SimOpenRecord& r) {
        return r.direction == kSimInput && r.deviceId == 0 && (r.flags & kWaveOpenQuery);
    }));
    EXPECT_EQ(SimOpenDeviceCount(), 0);
    EXPECT_EQ(ProbeFormatText({64000, 3, 8, 0}), "64.0 kHz, 3ch, 8-bit");
}

TEST_F(DeviceInfo, WithoutDeviceOrForAuxNoFormatsAreListed)
{
    SimSetInputDevices({});
    AuxCaps aux = {};
    aux.wMid = 7;
    aux.dwSupport = 0x4 | 0x8 | 0x2;
    SimSetAuxDevices({aux});
    WaveOutCaps out = Named<WaveOutCaps>("Out", 0xFFF);
    out.dwSupport = 0x3F;
    SimSetOutputDevices({out, Named<WaveOutCaps>("Plain", 0xFFF)});
    const std::vector<std::string> none = {"Could not determine available formats"};

    const WaveDeviceInformation input = DescribeWaveDevice(*m_pWave, WaveDeviceKind::Input, -1);
    EXPECT_EQ(input.manufacturer + input.product + input.driverVersion, "000");
    EXPECT_EQ(input.channels, "N/A");
    EXPECT_EQ(input.formats, none);
    EXPECT_EQ(input.additional, std::vector<std::string>{"- No additional information"});

    const WaveDeviceInformation auxInfo = DescribeWaveDevice(*m_pWave, WaveDeviceKind::Aux, 0);
    EXPECT_EQ(auxInfo.manufacturer, "7");
    EXPECT_EQ(auxInfo.formats, none);
    EXPECT_EQ(auxInfo.additional, (std::vector<std::string>{"- Supports volume control",
                                                            "- Supports separate left and right volume control"}));

    EXPECT_EQ(
        DescribeWaveDevice(*m_pWave, WaveDeviceKind::Output, 0).additional,
        (std::vector<std::string>{"- Supports volume control", "- Supports separate left and right volume control",
                                  "- Supports playback rate control", "- Supports pitch control",
                                  "- The driver is synchronous and will block while playing a buffer",
                                  "- Returns sample-accurate position information"}));
    EXPECT_TRUE(DescribeWaveDevice(*m_pWave, WaveDeviceKind::Output, 1).additional.empty());
}

} // namespace

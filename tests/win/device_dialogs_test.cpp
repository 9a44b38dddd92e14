// The wave capabilities, device selection and DirectSound capabilities
// dialogs from their real templates: on simulated device lists and a fake
// DirectX for the cases no machine offers on demand, and on the null sink's
// devices and Wine's DirectSound.
#include <dsound.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/sound_commands_win.h"
#include "audio/wave.h"
#include "devices/device_lists.h"
#include "devices/ds_caps_dialog_win.h"
#include "devices/wave_caps.h"
#include "dialog_controls.h"
#include "dxtests/directx_calls_win.h"
#include "dxtests/ds_caps_text.h"
#include "fake_directx.h"
#include "main_window_fixture.h"
#include "platform/sim_wave_device.h"

namespace {

// Runs script once inside the dialog with that caption, then presses button.
std::unique_ptr<MessageBoxCatcher> Inside(const char* caption, int button, std::function<void(HWND)> script)
{
    auto ran = std::make_shared<bool>(false);
    return std::make_unique<MessageBoxCatcher>(button, BoxThreads::ThisThread, [=](HWND d) {
        char text[64] = "";
        GetWindowTextA(d, text, sizeof text);
        if (*ran || std::string(text) != caption) return;
        *ran = true;
        script(d);
    });
}

template <class Caps = WaveInCaps>
Caps Device(const char* name, uint32_t formats)
{
    Caps c = {};
    std::strncpy(c.szPname, name, sizeof c.szPname);
    c.dwFormats = formats;
    return c;
}

class DeviceDialogs : public MainWindowFixture {
protected:
    void TearDown() override
    {
        StopAll(hWnd);
        SetDirectXCalls(nullptr);
        MainWindowFixture::TearDown();
        SimReset();
    }
    static void UseSimulator()
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetStepped(true);
    }
    // Opens the capabilities from the Settings menu, walks every kind and
    // device as the user does, and checks each shows its description.
    void ExpectEveryDeviceShown()
    {
        const CWave wave(g_nBlockSize, g_nChannels, g_nSampleRate, g_nBitsPerSample);
        int shown = 0;
        auto closer = Inside("Device Capabilities", IDOK, [&](HWND d) {
            EXPECT_EQ(Items(d, IDC_CAPS_KIND, true), (std::vector<std::string>{"Input", "Output", "Aux"}));
            EXPECT_EQ(Selection(d, IDC_CAPS_KIND), 0);
            for (int k = 0; k < 3; ++k) {
                if (k) Choose(d, IDC_CAPS_KIND, k);
                const std::vector<std::string> names = WaveDeviceNames(wave, WaveDeviceKind(k));
                EXPECT_EQ(Items(d, IDC_CAPS_DEVICE, true), names) << k;
                for (int i = 0; i < std::max<int>(1, int(names.size())); ++i, ++shown) {
                    SCOPED_TRACE(testing::Message() << "kind " << k << ", device " << i);
                    if (i) Choose(d, IDC_CAPS_DEVICE, i);
                    EXPECT_EQ(Selection(d, IDC_CAPS_DEVICE), names.empty() ? CB_ERR : i);
                    const WaveDeviceInformation info =
                        DescribeWaveDevice(wave, WaveDeviceKind(k), names.empty() ? -1 : i);
                    EXPECT_EQ(
                        (std::vector<std::string>{ItemText(d, IDC_CAPS_MANUFACTURER), ItemText(d, IDC_CAPS_PRODUCT),
                                                  ItemText(d, IDC_CAPS_DRIVER_VERSION),
                                                  ItemText(d, IDC_CAPS_CHANNELS)}),
                        (std::vector<std::string>{info.manufacturer, info.product, info.driverVersion, info.channels}));
                    EXPECT_EQ(Items(d, IDC_CAPS_FORMATS, false), info.formats);
                    EXPECT_EQ(Items(d, IDC_CAPS_ADDITIONAL, false), info.additional);
                }
            }
        });
        Command(IDM_WAVE_CAPS);
        EXPECT_GE(shown, 3) << "the dialog did not open";
    }
};

// On the null sink's devices (each claims 44.1 kHz stereo 16-bit: the last
// of each list is chosen at start), then on simulated lists.
TEST_F(DeviceDialogs, CapabilitiesShowEachKindAndDevice)
{
    const CWave wave(g_nBlockSize, g_nChannels, g_nSampleRate, g_nBitsPerSample);
    if (wave.GetInputDeviceCount() > 0 && wave.GetOutputDeviceCount() > 0) {
        EXPECT_EQ(g_nInputDeviceId, wave.GetInputDeviceCount() - 1);
        EXPECT_EQ(g_nOutputDeviceId, wave.GetOutputDeviceCount() - 1);
        ExpectEveryDeviceShown();
    }
    UseSimulator();
    SimSetInputDevices({Device("Mic", 0x800)});
    SimSetOutputDevices({Device<WaveOutCaps>("Speakers", 0xFFF), Device<WaveOutCaps>("Line Out", 0)});
    ExpectEveryDeviceShown();
}

// OK maps the entries chosen to the devices by the names the lists showed:
// a device unplugged meanwhile is not taken for another.
TEST_F(DeviceDialogs, SelectionShowsTheIdsInForceAndOkStoresTheChoice)
{
    UseSimulator();
    const std::vector<WaveInCaps> mics = {Device("Mic A", 0x800), Device("Mic B", 0), Device("Mic C", 0x800)};
    SimSetInputDevices(mics);
    SimSetOutputDevices({Device<WaveOutCaps>("Out A", 0x800), Device<WaveOutCaps>("Out B", 0x800)});
    ChooseDefaultDevices();
    ASSERT_EQ(g_nInputDeviceId, 2u);
    ASSERT_EQ(g_nOutputDeviceId, 1u);
    struct Case {
        int button;        // IDOK or IDCANCEL
        int input, output; // entries chosen; -1 none
        bool unplugB;      // Mic B goes before OK: Mic C moves to id 1
        uint32_t inputId, outputId;
    } cases[] = {
        {IDCANCEL, 0, 0, false, 2u, 1u},
        {IDOK, 1, 0, false, 1u, 0u},
        {IDOK, -1, -1, false, kWaveMapperId, kWaveMapperId},
        {IDOK, 2, 1, false, 2u, 1u},
        {IDOK, 2, 1, true, 1u, 1u},
        {IDOK, 1, 1, true, kVanishedDeviceId, 1u},
    };
    for (const Case& c : cases) {
        const uint32_t wasIn = g_nInputDeviceId, wasOut = g_nOutputDeviceId;
        SimSetInputDevices(mics);
        auto press = Inside("Device selection", c.button, [&](HWND d) {
            EXPECT_EQ(Items(d, IDC_SELECT_INPUT, true), (std::vector<std::string>{"Mic A", "Mic B", "Mic C"}));
            EXPECT_EQ(Items(d, IDC_SELECT_OUTPUT, true), (std::vector<std::string>{"Out A", "Out B"}));
            EXPECT_EQ(Selection(d, IDC_SELECT_INPUT), wasIn == kWaveMapperId ? -1 : LRESULT(wasIn)) << "in force";
            EXPECT_EQ(Selection(d, IDC_SELECT_OUTPUT), wasOut == kWaveMapperId ? -1 : LRESULT(wasOut));
            SendDlgItemMessageA(d, IDC_SELECT_INPUT, CB_SETCURSEL, WPARAM(c.input), 0);
            SendDlgItemMessageA(d, IDC_SELECT_OUTPUT, CB_SETCURSEL, WPARAM(c.output), 0);
            if (c.unplugB) SimSetInputDevices({mics[0], mics[2]});
        });
        Command(IDM_DEVICE_SELECTION);
        EXPECT_EQ(g_nInputDeviceId, c.inputId) << c.input;
        EXPECT_EQ(g_nOutputDeviceId, c.outputId) << c.input;
    }
}

// What the DirectSound capabilities dialog shows: the device names, the
// selection, every field (in control order) and the sentences.
struct DsShown {
    std::vector<std::string> devices, fields, sentences;
    LRESULT selected = -2;
};
DsShown ReadDsCaps(HWND d, int choose = -1)
{
    if (choose >= 0) Choose(d, IDC_DSCAPS_DEVICE, choose);
    DsShown s{Items(d, IDC_DSCAPS_DEVICE, true), {}, Items(d, IDC_DSCAPS_INFO, false), Selection(d, IDC_DSCAPS_DEVICE)};
    for (int id = IDC_DSCAPS_RATES; id <= IDC_DSCAPS_MEMORY_FREE; ++id) s.fields.push_back(ItemText(d, id));
    return s;
}
// The fields and sentences a record should show.
void ExpectShows(const DsShown& shown, const DsCaps& caps)
{
    std::vector<std::string> fields(shown.fields.size());
    for (const DsCapsField& f : DsCapsFieldTexts(caps)) fields.at(f.controlId - IDC_DSCAPS_RATES) = f.text;
    EXPECT_EQ(shown.fields, fields);
    const std::vector<const char*> sentences = DsFlagSentences(caps.dwFlags);
    EXPECT_EQ(shown.sentences, std::vector<std::string>(sentences.begin(), sentences.end()));
}
constexpr char kDsCaps[] = "Direct Sound Device Capabilities";

TEST_F(DeviceDialogs, DirectSoundCapsShowEachFakeDeviceReplacingTheSentencesOrNothingWithout)
{
    FakeDirectX fake;
    fake.devices.resize(3);
    fake.devices[0].isDefault = true; // not listed
    fake.devices[1].description = "Card that cannot be opened";
    fake.devices[1].creatable = false;
    fake.devices[2].description = "Card with memory";
    fake.devices[2].caps.dwFlags = 0x40 | 0x10 | 0x2 | 0x800;
    fake.devices[2].caps.dwMaxSecondarySampleRate = 96000;
    fake.devices[2].caps.dwFreeHwMemBytes = 1048576;
    DsShown first, second, again;
    {
        auto look = Inside(kDsCaps, IDOK,
                           [&](HWND d) { first = ReadDsCaps(d), second = ReadDsCaps(d, 1), again = ReadDsCaps(d, 0); });
        EXPECT_EQ(ShowDsCapsDialog(hWnd), 0);
    }
    EXPECT_EQ(first.devices, (std::vector<std::string>{"Card that cannot be opened", "Card with memory"}));
    EXPECT_EQ(first.selected, 0);
    EXPECT_EQ(first.fields, (std::vector<std::string>{"0 - 0", "0", "0", "0", "0 free", "0 free", "0 free", "0", "0",
                                                      "0", "0 free", "0 free", "0 free", "N/A", "N/A"}));
    ExpectShows(first, DsCaps{});
    ExpectShows(second, fake.devices[2].caps);
    ExpectShows(again, DsCaps{});

    // Without devices, or when they cannot be listed, everything stays blank.
    fake.devices.resize(1);
    for (HResult enumeration : {kSOk, kEFail}) {
        fake.results["enumerateDevices"] = enumeration;
        DsShown blank;
        auto look = Inside(kDsCaps, IDCANCEL, [&](HWND d) { blank = ReadDsCaps(d); });
        EXPECT_EQ(ShowDsCapsDialog(hWnd), 0);
        EXPECT_TRUE(blank.devices.empty() && blank.sentences.empty());
        EXPECT_EQ(blank.selected, CB_ERR);
        EXPECT_EQ(blank.fields, std::vector<std::string>(15, ""));
    }
}

BOOL CALLBACK Collect(LPGUID guid, LPCSTR description, LPCSTR, LPVOID devices)
{
    if (guid) static_cast<std::vector<std::pair<GUID, std::string>>*>(devices)->push_back({*guid, description});
    return TRUE;
}

// At most six devices, in the platform's order, each with what its driver reports.
TEST_F(DeviceDialogs, DirectSoundCapsShowWhatWinesDirectSoundReports)
{
    SetDirectXCalls(DirectXCallsWin());
    std::vector<std::pair<GUID, std::string>> platform;
    DirectSoundEnumerateA(Collect, &platform);
    if (platform.empty()) GTEST_SKIP() << "no DirectSound device";
    platform.resize(std::min<size_t>(platform.size(), 6));
    std::vector<DsShown> shown;
    auto look = Inside(kDsCaps, IDOK, [&](HWND d) {
        for (size_t i = 0; i < platform.size(); ++i) shown.push_back(ReadDsCaps(d, int(i)));
    });
    EXPECT_EQ(ShowDsCapsDialog(hWnd), 0);
    ASSERT_EQ(shown.size(), platform.size());
    for (size_t i = 0; i < platform.size(); ++i) {
        EXPECT_EQ(shown[0].devices.at(i), platform[i].second.substr(0, 99));
        DsCaps caps{};
        caps.dwSize = sizeof caps;
        IDirectSound* ds = nullptr;
        ASSERT_EQ(DirectSoundCreate(&platform[i].first, &ds, nullptr), DS_OK);
        ds->GetCaps(reinterpret_cast<DSCAPS*>(&caps));
        ds->Release();
        EXPECT_EQ(caps.dwSize, 96u);
        ExpectShows(shown[i], caps);
    }
}

} // namespace

// The wave capabilities and device selection dialogs from their real
// templates, on simulated device lists and on the null sink's devices.
#include <cstring>
#include <string>
#include <vector>

#include "app/sound_commands_win.h"
#include "audio/wave.h"
#include "devices/capabilities_dialog_win.h"
#include "devices/device_lists.h"
#include "devices/device_selection_dialog_win.h"
#include "devices/wave_caps.h"
#include "main_window_fixture.h"
#include "platform/sim_wave_device.h"

namespace {

std::string ItemText(HWND dialog, int id)
{
    char buf[256] = "";
    GetDlgItemTextA(dialog, id, buf, sizeof(buf));
    return buf;
}

std::vector<std::string> ListItems(HWND dialog, int id, bool combo)
{
    const HWND list = GetDlgItem(dialog, id);
    std::vector<std::string> items;
    const LRESULT n = SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[512] = "";
        SendMessageA(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

LRESULT ComboSelection(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0); }

// Selects a combo entry and tells the dialog, as the user does.
void Choose(HWND dialog, int id, int index)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool HasCaption(HWND window, const char* caption)
{
    char text[64] = "";
    GetWindowTextA(window, text, sizeof text);
    return std::string(text) == caption;
}

// Runs `script` once inside the dialog with that caption, then presses `button`.
template <class Script>
MessageBoxCatcher* Inside(const char* caption, int button, Script script)
{
    auto ran = std::make_shared<bool>(false);
    return new MessageBoxCatcher(button, BoxThreads::ThisThread, [=](HWND d) mutable {
        if (!HasCaption(d, caption) || *ran) return;
        *ran = true;
        script(d);
    });
}

WaveInCaps InDevice(const char* name, uint32_t formats, uint16_t channels = 2)
{
    WaveInCaps c = {};
    std::strncpy(c.szPname, name, sizeof c.szPname);
    c.dwFormats = formats;
    c.wChannels = channels;
    return c;
}

WaveOutCaps OutDevice(const char* name, uint32_t formats, uint32_t support = 0)
{
    WaveOutCaps c = {};
    std::strncpy(c.szPname, name, sizeof c.szPname);
    c.dwFormats = formats;
    c.wChannels = 2;
    c.dwSupport = support;
    return c;
}

// What the capabilities dialog shows for the device selected.
struct Shown {
    std::vector<std::string> devices;
    LRESULT device;
    std::string fields; // manufacturer|product|driver|channels
    std::vector<std::string> formats, additional;
};

Shown Read(HWND d)
{
    return {ListItems(d, IDC_CAPS_DEVICE, true), ComboSelection(d, IDC_CAPS_DEVICE),
            ItemText(d, IDC_CAPS_MANUFACTURER) + "|" + ItemText(d, IDC_CAPS_PRODUCT) + "|" +
                ItemText(d, IDC_CAPS_DRIVER_VERSION) + "|" + ItemText(d, IDC_CAPS_CHANNELS),
            ListItems(d, IDC_CAPS_FORMATS, false), ListItems(d, IDC_CAPS_ADDITIONAL, false)};
}

class DeviceDialogs : public MainWindowFixture {
protected:
    void TearDown() override
    {
        StopAll(hWnd);
        MainWindowFixture::TearDown();
        SimReset();
    }
    static void UseSimulator()
    {
        SimReset();
        SetWaveDeviceTable(SimWaveDeviceTable());
        SimSetStepped(true);
    }
};

TEST_F(DeviceDialogs, CapabilitiesShowEachKindOnSimulatedLists)
{
    UseSimulator();
    WaveInCaps odd = InDevice("", 0x800, 65535);
    std::memset(odd.szPname, 'M', sizeof odd.szPname); // not terminated
    odd.wMid = 1;
    odd.wPid = 2;
    odd.vDriverVersion = 0x0500000A;
    SimSetInputDevices({odd});
    SimSetOutputDevices({OutDevice("Speakers", 0xFFF, 0x4 | 0x8), OutDevice("Line Out", 0, 0)});
    SimSetFormatRule([](SimDirection, uint32_t, const WaveFormatExtensible& f) { return f.Format.nChannels <= 2; });

    std::vector<std::string> kinds;
    LRESULT kind = -1;
    Shown input, output, lineOut, aux;
    std::unique_ptr<MessageBoxCatcher> closer(Inside("Device Capabilities", IDOK, [&](HWND d) {
        kinds = ListItems(d, IDC_CAPS_KIND, true);
        kind = ComboSelection(d, IDC_CAPS_KIND);
        input = Read(d);
        Choose(d, IDC_CAPS_KIND, 1);
        output = Read(d);
        Choose(d, IDC_CAPS_DEVICE, 1);
        lineOut = Read(d);
        Choose(d, IDC_CAPS_KIND, 2);
        aux = Read(d);
    }));
    EXPECT_EQ(RunCapabilitiesDialog(hWnd), 0);
    EXPECT_EQ(kinds, (std::vector<std::string>{"Input", "Output", "Aux"}));
    EXPECT_EQ(kind, 0);

    EXPECT_EQ(input.devices, std::vector<std::string>{std::string(32, 'M')});
    EXPECT_EQ(input.device, 0);
    EXPECT_EQ(input.fields, "1|2|83886090|N/A");
    ASSERT_EQ(input.formats.size(), 62u);
    EXPECT_EQ(input.formats[12], "44.1 kHz, stereo, 16-bit - Yes");
    EXPECT_EQ(input.formats[11], "44.1 kHz, stereo, 8-bit - No");
    EXPECT_EQ(input.formats[20], "44.1 kHz, stereo, 24-bit - Yes");
    EXPECT_EQ(input.formats[22], "44.1 kHz, Quadraphonic, 16-bit - No");
    EXPECT_EQ(input.additional, std::vector<std::string>{"- No additional information"});

    EXPECT_EQ(output.devices, (std::vector<std::string>{"Speakers", "Line Out"}));
    EXPECT_EQ(output.fields, "0|0|0|Stereo");
    EXPECT_EQ(output.additional, (std::vector<std::string>{"- Supports volume control",
                                                           "- Supports separate left and right volume control"}));
    EXPECT_EQ(lineOut.device, 1);
    EXPECT_EQ(lineOut.formats[1], "11.025 kHz, mono, 8-bit - No");
    EXPECT_TRUE(lineOut.additional.empty());

    EXPECT_TRUE(aux.devices.empty());
    EXPECT_EQ(aux.fields, "0|0|0|N/A");
    EXPECT_EQ(aux.formats, std::vector<std::string>{"Could not determine available formats"});
    EXPECT_EQ(aux.additional, std::vector<std::string>{"- No additional information"});
}

TEST_F(DeviceDialogs, CapabilitiesOfTheNullSinkDevices)
{
    CWave wave(g_nBlockSize, g_nChannels, g_nSampleRate, g_nBitsPerSample);
    if (wave.GetInputDeviceCount() == 0 || wave.GetOutputDeviceCount() == 0) GTEST_SKIP() << "no wave device";
    Shown input, output;
    std::unique_ptr<MessageBoxCatcher> closer(Inside("Device Capabilities", IDOK, [&](HWND d) {
        input = Read(d);
        Choose(d, IDC_CAPS_KIND, 1);
        output = Read(d);
    }));
    Command(IDM_WAVE_CAPS);
    ASSERT_EQ(closer->Boxes().size(), 1u) << "opened from the Settings menu";
    EXPECT_EQ(input.devices, WaveDeviceNames(wave, WaveDeviceKind::Input));
    EXPECT_EQ(output.devices, WaveDeviceNames(wave, WaveDeviceKind::Output));
    ASSERT_EQ(input.formats.size(), 62u);
    ASSERT_EQ(output.formats.size(), 62u);
    // The dialog shows what the device answers, row by row.
    for (int row = 0; row < 48; ++row) {
        const ProbeFormat& f = kProbeFormats[row];
        const bool yes = wave.QueryFormat(0, 1, f.nRate, f.nChannels, f.nBits, f.nChannelMask) == kWaveOk;
        EXPECT_EQ(output.formats[size_t(14 + row)], ProbeFormatText(f) + (yes ? " - Yes" : " - No"));
    }
    std::printf("input 0: %s [%s]\noutput 0: %s [%s]\n", input.devices[0].c_str(), input.fields.c_str(),
                output.devices[0].c_str(), output.fields.c_str());
    for (const std::string& line : output.additional) std::printf("  %s\n", line.c_str());
}

TEST_F(DeviceDialogs, SelectionShowsTheIdsInForceAndOkStoresTheChoice)
{
    UseSimulator();
    SimSetInputDevices({InDevice("Mic A", 0x800), InDevice("Mic B", 0), InDevice("Mic C", 0x800)});
    SimSetOutputDevices({OutDevice("Out A", 0x800), OutDevice("Out B", 0x800)});
    ChooseDefaultDevices();
    ASSERT_EQ(g_nInputDeviceId, 2u);
    ASSERT_EQ(g_nOutputDeviceId, 1u);

    struct Case {
        int button;        // IDOK or IDCANCEL
        int input, output; // entries chosen; -1 none
        uint32_t inputId, outputId;
    } cases[] = {
        {IDCANCEL, 0, 0, 2u, 1u},
        {IDOK, 1, 0, 1u, 0u},
        {IDOK, -1, -1, kWaveMapperId, kWaveMapperId},
        {IDOK, 2, 1, 2u, 1u},
    };
    for (const Case& c : cases) {
        LRESULT shownIn = -2, shownOut = -2;
        std::vector<std::string> inputs, outputs;
        const uint32_t wasIn = g_nInputDeviceId, wasOut = g_nOutputDeviceId;
        std::unique_ptr<MessageBoxCatcher> press(Inside("Device selection", c.button, [&](HWND d) {
            shownIn = ComboSelection(d, IDC_SELECT_INPUT);
            shownOut = ComboSelection(d, IDC_SELECT_OUTPUT);
            inputs = ListItems(d, IDC_SELECT_INPUT, true);
            outputs = ListItems(d, IDC_SELECT_OUTPUT, true);
            SendDlgItemMessageA(d, IDC_SELECT_INPUT, CB_SETCURSEL, WPARAM(c.input), 0);
            SendDlgItemMessageA(d, IDC_SELECT_OUTPUT, CB_SETCURSEL, WPARAM(c.output), 0);
        }));
        Command(IDM_DEVICE_SELECTION);
        EXPECT_EQ(inputs, (std::vector<std::string>{"Mic A", "Mic B", "Mic C"}));
        EXPECT_EQ(outputs, (std::vector<std::string>{"Out A", "Out B"}));
        EXPECT_EQ(shownIn, wasIn == kWaveMapperId ? -1 : LRESULT(wasIn)) << "the ids in force";
        EXPECT_EQ(shownOut, wasOut == kWaveMapperId ? -1 : LRESULT(wasOut));
        EXPECT_EQ(g_nInputDeviceId, c.inputId);
        EXPECT_EQ(g_nOutputDeviceId, c.outputId);
    }
}

TEST_F(DeviceDialogs, SelectionOfTheNullSinkDevicesOpensOnTheDefaults)
{
    CWave wave(g_nBlockSize, g_nChannels, g_nSampleRate, g_nBitsPerSample);
    if (wave.GetInputDeviceCount() == 0 || wave.GetOutputDeviceCount() == 0) GTEST_SKIP() << "no wave device";
    // Every null-sink device claims 44.1 kHz stereo 16-bit: the last of each list is the default.
    EXPECT_EQ(g_nInputDeviceId, wave.GetInputDeviceCount() - 1);
    EXPECT_EQ(g_nOutputDeviceId, wave.GetOutputDeviceCount() - 1);
    std::vector<std::string> inputs, outputs;
    LRESULT shownIn = -2, shownOut = -2;
    std::unique_ptr<MessageBoxCatcher> press(Inside("Device selection", IDOK, [&](HWND d) {
        inputs = ListItems(d, IDC_SELECT_INPUT, true);
        outputs = ListItems(d, IDC_SELECT_OUTPUT, true);
        shownIn = ComboSelection(d, IDC_SELECT_INPUT);
        shownOut = ComboSelection(d, IDC_SELECT_OUTPUT);
        SendDlgItemMessageA(d, IDC_SELECT_INPUT, CB_SETCURSEL, 0, 0);
    }));
    Command(IDM_DEVICE_SELECTION);
    EXPECT_EQ(inputs, WaveDeviceNames(wave, WaveDeviceKind::Input));
    EXPECT_EQ(outputs, WaveDeviceNames(wave, WaveDeviceKind::Output));
    EXPECT_EQ(shownIn, LRESULT(wave.GetInputDeviceCount() - 1));
    EXPECT_EQ(shownOut, LRESULT(wave.GetOutputDeviceCount() - 1));
    EXPECT_EQ(g_nInputDeviceId, 0u);
    EXPECT_EQ(g_nOutputDeviceId, wave.GetOutputDeviceCount() - 1);
}

TEST_F(DeviceDialogs, ADeviceUnpluggedBeforeOkIsNotOpenedInsteadOfAnother)
{
    UseSimulator();
    SimSetInputDevices({InDevice("Mic A", 0), InDevice("Mic B", 0), InDevice("Mic C", 0)});
    g_nInputDeviceId = 1;
    g_nOutputDeviceId = 0;
    struct Case {
        int chosen;
        uint32_t id;
    } cases[] = {{1, kVanishedDeviceId}, {2, 1u}}; // B goes: C moves to id 1
    for (const Case& c : cases) {
        SimSetInputDevices({InDevice("Mic A", 0), InDevice("Mic B", 0), InDevice("Mic C", 0)});
        std::unique_ptr<MessageBoxCatcher> press(Inside("Device selection", IDOK, [&](HWND d) {
            SendDlgItemMessageA(d, IDC_SELECT_INPUT, CB_SETCURSEL, WPARAM(c.chosen), 0);
            SimSetInputDevices({InDevice("Mic A", 0), InDevice("Mic C", 0)});
        }));
        Command(IDM_DEVICE_SELECTION);
        EXPECT_EQ(g_nInputDeviceId, c.id) << c.chosen;
    }

    g_nInputDeviceId = kVanishedDeviceId;
    MessageBoxCatcher failure(IDOK, BoxThreads::AnyThread);
    Command(IDM_RECORD);
    ASSERT_TRUE(failure.WaitForBoxes(1, 5000));
    EXPECT_NE(failure.Boxes()[0].text.find("The sound input device selected is not able to be opened."),
              std::string::npos)
        << failure.Boxes()[0].text;
    EXPECT_EQ(g_bRecording, 0);
    for (const SimOpenRecord& r : SimOpenLog())
        EXPECT_TRUE(r.result != kWaveOk || (r.flags & kWaveOpenQuery)) << "no device was opened";
}

} // namespace

// The DirectSound capabilities dialog and the device table under it: with a
// fake platform for the cases no machine offers on demand, and with Wine's
// DirectSound on the null sink's devices.
#include <dsound.h>

#include <cstring>
#include <string>
#include <vector>

#include "devices/ds_caps_dialog_win.h"
#include "dxtests/direct_snd.h"
#include "dxtests/directx_calls_win.h"
#include "dxtests/ds_caps_text.h"
#include "fake_directx.h"
#include "main_window_fixture.h"

namespace {

// What the dialog shows: the device names, the selection, every field and
// the sentences.
struct Shown {
    std::vector<std::string> devices;
    int selected = -2;
    std::vector<std::string> fields; // 1028 to 1042
    std::vector<std::string> sentences;
};

Shown Read(HWND dialog)
{
    Shown s;
    char text[256];
    HWND combo = GetDlgItem(dialog, IDC_DSCAPS_DEVICE);
    for (int i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i) {
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        s.devices.push_back(text);
    }
    s.selected = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    for (int id = IDC_DSCAPS_RATES; id <= IDC_DSCAPS_MEMORY_FREE; ++id) {
        GetDlgItemTextA(dialog, id, text, sizeof text);
        s.fields.push_back(text);
    }
    HWND list = GetDlgItem(dialog, IDC_DSCAPS_INFO);
    for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        s.sentences.push_back(text);
    }
    return s;
}

void Choose(HWND dialog, int index)
{
    SendDlgItemMessageA(dialog, IDC_DSCAPS_DEVICE, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DSCAPS_DEVICE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_DSCAPS_DEVICE)));
}

// The texts the dialog should show for a record, in control order.
std::vector<std::string> Expected(const DsCaps& caps)
{
    std::vector<std::string> byId(IDC_DSCAPS_MEMORY_FREE - IDC_DSCAPS_RATES + 1);
    for (const DsCapsField& f : DsCapsFieldTexts(caps)) byId[f.controlId - IDC_DSCAPS_RATES] = f.text;
    return byId;
}

class DsCapsDialog : public MainWindowFixture {
protected:
    void TearDown() override
    {
        SetDirectXCalls(nullptr);
        MainWindowFixture::TearDown();
    }
    // Opens the dialog, lets look run inside it, and closes it with close.
    void Open(std::function<void(HWND)> look, int close = IDOK)
    {
        MessageBoxCatcher catcher(close, BoxThreads::ThisThread, look);
        EXPECT_EQ(ShowDsCapsDialog(hWnd), 0);
        ASSERT_EQ(catcher.Boxes().size(), 1u);
        EXPECT_EQ(catcher.Boxes()[0].caption, "Direct Sound Device Capabilities");
    }
};

TEST_F(DsCapsDialog, ShowsEachDeviceAndReplacesTheSentencesOnAChange)
{
    FakeDirectX fake;
    FakeDevice primary;
    primary.isDefault = true;
    primary.description = "Primary Sound Driver";
    FakeDevice broken;
    broken.description = "Card that cannot be opened";
    broken.creatable = false;
    FakeDevice card;
    card.description = "Card with memory";
    card.caps.dwFlags = 0x40 | 0x10 | 0x2 | 0x800;
    card.caps.dwMinSecondarySampleRate = 4000;
    card.caps.dwMaxSecondarySampleRate = 96000;
    card.caps.dwMaxHwMixingAllBuffers = 64;
    card.caps.dwFreeHwMixingAllBuffers = 60;
    card.caps.dwTotalHwMemBytes = 2097152;
    card.caps.dwFreeHwMemBytes = 1048576;
    fake.devices = {primary, broken, card};

    Shown first, second, again;
    Open([&](HWND dialog) {
        first = Read(dialog);
        Choose(dialog, 1);
        second = Read(dialog);
        Choose(dialog, 0);
        again = Read(dialog);
    });
    EXPECT_EQ(first.devices, (std::vector<std::string>{"Card that cannot be opened", "Card with memory"}));
    EXPECT_EQ(first.selected, 0);
    EXPECT_EQ(first.fields, (std::vector<std::string>{"0 - 0", "0", "0", "0", "0 free", "0 free", "0 free", "0", "0",
                                                      "0", "0 free", "0 free", "0 free", "N/A", "N/A"}));
    EXPECT_EQ(first.sentences, (std::vector<std::string>{"- This driver has not been certified by Microsoft",
                                                         "- A DirectSound driver is installed"}));
    EXPECT_EQ(second.fields[0], "4000 - 96000");
    EXPECT_EQ(second.fields[1], "64");
    EXPECT_EQ(second.fields[4], "60 free");
    EXPECT_EQ(second.fields[13], "2097152");
    EXPECT_EQ(second.fields[14], "1048576 free");
    EXPECT_EQ(
        second.sentences,
        (std::vector<std::string>{"- This driver has been tested and certified by Microsoft",
                                  "- Driver supports a continuous range of sample rates",
                                  "- A DirectSound driver is installed", "- The device supports stereo primary buffers",
                                  "- The device supports hardware-mixed secondary buffers with 16-bit samples"}));
    EXPECT_EQ(again.sentences, first.sentences);
    EXPECT_EQ(again.fields, first.fields);
}

TEST_F(DsCapsDialog, WithoutDevicesEverythingStaysBlank)
{
    for (HResult enumeration : {kSOk, kEFail}) {
        FakeDirectX fake;
        fake.results["enumerateDevices"] = enumeration;
        FakeDevice primary;
        primary.isDefault = true;
        fake.devices = {primary};
        Shown shown;
        Open([&](HWND dialog) { shown = Read(dialog); }, IDCANCEL);
        EXPECT_TRUE(shown.devices.empty());
        EXPECT_EQ(shown.selected, CB_ERR);
        EXPECT_EQ(shown.fields, std::vector<std::string>(15, ""));
        EXPECT_TRUE(shown.sentences.empty());
    }
}

// ---- Wine's DirectSound ----

struct PlatformDevice {
    GUID guid;
    std::string description;
};

BOOL CALLBACK Collect(LPGUID guid, LPCSTR description, LPCSTR, LPVOID context)
{
    if (guid) static_cast<std::vector<PlatformDevice>*>(context)->push_back({*guid, description});
    return TRUE;
}

std::vector<PlatformDevice> PlatformDevices()
{
    std::vector<PlatformDevice> devices;
    DirectSoundEnumerateA(Collect, &devices);
    return devices;
}

DsCaps PlatformCaps(const GUID& guid)
{
    DsCaps caps{};
    IDirectSound* ds = nullptr;
    if (SUCCEEDED(DirectSoundCreate(&guid, &ds, nullptr))) {
        ds->SetCooperativeLevel(g_hMainWnd, DSSCL_NORMAL);
        caps.dwSize = sizeof caps;
        ds->GetCaps(reinterpret_cast<DSCAPS*>(&caps));
        ds->Release();
    }
    return caps;
}

TEST_F(DsCapsDialog, TableAndDialogShowWhatWinesDirectSoundReports)
{
    SetDirectXCalls(DirectXCallsWin());
    const std::vector<PlatformDevice> platform = PlatformDevices();
    if (platform.empty()) GTEST_SKIP() << "no DirectSound device";

    CDirectSnd table(g_hMainWnd);
    const int expectedCount = static_cast<int>(std::min<size_t>(platform.size(), 6));
    ASSERT_EQ(table.EnumerateDevices(), expectedCount);
    for (int i = 0; i < table.count; ++i) {
        const DSDeviceEntry& e = table.devices[i];
        std::printf("[ device %d ] %s (%s): rates %u-%u, flags 0x%x, memory %u\n", i, e.description, e.module,
                    e.caps.dwMinSecondarySampleRate, e.caps.dwMaxSecondarySampleRate, e.caps.dwFlags,
                    e.caps.dwTotalHwMemBytes);
        EXPECT_EQ(std::memcmp(&e.guid, &platform[i].guid, sizeof(GUID)), 0);
        EXPECT_EQ(e.description, platform[i].description.substr(0, 99));
        const DsCaps caps = PlatformCaps(platform[i].guid);
        EXPECT_EQ(caps.dwSize, 96u);
        EXPECT_EQ(std::memcmp(&e.caps, &caps, sizeof caps), 0) << e.description;
    }

    Shown first, last;
    Open([&](HWND dialog) {
        first = Read(dialog);
        Choose(dialog, expectedCount - 1);
        last = Read(dialog);
    });
    ASSERT_EQ(first.devices.size(), size_t(expectedCount));
    for (int i = 0; i < expectedCount; ++i) EXPECT_EQ(first.devices[i], table.devices[i].description);
    EXPECT_EQ(first.fields, Expected(table.devices[0].caps));
    EXPECT_EQ(last.fields, Expected(table.devices[expectedCount - 1].caps));
    std::vector<const char*> sentences = DsFlagSentences(table.devices[expectedCount - 1].caps.dwFlags);
    EXPECT_EQ(last.sentences, std::vector<std::string>(sentences.begin(), sentences.end()));
}

} // namespace

// The DirectSound capabilities dialog: on a fake platform for the cases no
// machine offers on demand, and on Wine's DirectSound with the null sink.
#include <dsound.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "devices/ds_caps_dialog_win.h"
#include "dialog_controls.h"
#include "dxtests/direct_snd.h"
#include "dxtests/directx_calls_win.h"
#include "dxtests/ds_caps_text.h"
#include "fake_directx.h"
#include "main_window_fixture.h"

namespace {

// What the dialog shows: the device names, the selection, every field (in
// control order) and the sentences.
struct Shown {
    std::vector<std::string> devices, fields, sentences;
    LRESULT selected = -2;
};

Shown Read(HWND dialog)
{
    Shown s{Items(dialog, IDC_DSCAPS_DEVICE, true), {}, Items(dialog, IDC_DSCAPS_INFO, false)};
    s.selected = Selection(dialog, IDC_DSCAPS_DEVICE);
    for (int id = IDC_DSCAPS_RATES; id <= IDC_DSCAPS_MEMORY_FREE; ++id) s.fields.push_back(ItemText(dialog, id));
    return s;
}
Shown ChooseAndRead(HWND dialog, int index)
{
    Choose(dialog, IDC_DSCAPS_DEVICE, index);
    return Read(dialog);
}

// The fields and sentences a record should show.
void ExpectShows(const Shown& shown, const DsCaps& caps)
{
    std::vector<std::string> fields(shown.fields.size());
    for (const DsCapsField& f : DsCapsFieldTexts(caps)) fields.at(f.controlId - IDC_DSCAPS_RATES) = f.text;
    EXPECT_EQ(shown.fields, fields);
    const std::vector<const char*> sentences = DsFlagSentences(caps.dwFlags);
    EXPECT_EQ(shown.sentences, std::vector<std::string>(sentences.begin(), sentences.end()));
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

TEST_F(DsCapsDialog, ShowsEachFakeDeviceReplacingTheSentencesOrNothingWithout)
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
    const DsCaps card = fake.devices[2].caps;
    Shown first, second, again;
    Open([&](HWND dialog) {
        first = Read(dialog);
        second = ChooseAndRead(dialog, 1);
        again = ChooseAndRead(dialog, 0);
    });
    EXPECT_EQ(first.devices, (std::vector<std::string>{"Card that cannot be opened", "Card with memory"}));
    EXPECT_EQ(first.selected, 0);
    // The all-zero record.
    EXPECT_EQ(first.fields, (std::vector<std::string>{"0 - 0", "0", "0", "0", "0 free", "0 free", "0 free", "0", "0",
                                                      "0", "0 free", "0 free", "0 free", "N/A", "N/A"}));
    ExpectShows(first, DsCaps{});
    ExpectShows(second, card);
    EXPECT_EQ(again.fields, first.fields);
    EXPECT_EQ(again.sentences, first.sentences);

    // Without devices, or when they cannot be listed, everything stays blank.
    fake.devices.resize(1);
    for (HResult enumeration : {kSOk, kEFail}) {
        fake.results["enumerateDevices"] = enumeration;
        Shown blank;
        Open([&](HWND dialog) { blank = Read(dialog); }, IDCANCEL);
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

TEST_F(DsCapsDialog, TableAndDialogShowWhatWinesDirectSoundReports)
{
    SetDirectXCalls(DirectXCallsWin());
    std::vector<std::pair<GUID, std::string>> platform;
    DirectSoundEnumerateA(Collect, &platform);
    if (platform.empty()) GTEST_SKIP() << "no DirectSound device";

    CDirectSnd table(g_hMainWnd);
    const int count = static_cast<int>(std::min<size_t>(platform.size(), 6));
    ASSERT_EQ(table.EnumerateDevices(), count);
    for (int i = 0; i < count; ++i) {
        const DSDeviceEntry& e = table.devices[i];
        EXPECT_EQ(std::memcmp(&e.guid, &platform[i].first, sizeof(GUID)), 0);
        EXPECT_EQ(e.description, platform[i].second.substr(0, 99));
        DsCaps caps{};
        caps.dwSize = sizeof caps;
        IDirectSound* ds = nullptr;
        ASSERT_EQ(DirectSoundCreate(&platform[i].first, &ds, nullptr), DS_OK);
        ds->GetCaps(reinterpret_cast<DSCAPS*>(&caps));
        ds->Release();
        EXPECT_EQ(caps.dwSize, 96u);
        EXPECT_EQ(std::memcmp(&e.caps, &caps, sizeof caps), 0) << e.description;
    }
    Shown first, last;
    Open([&](HWND dialog) {
        first = Read(dialog);
        last = ChooseAndRead(dialog, count - 1);
    });
    ASSERT_EQ(first.devices.size(), size_t(count));
    for (int i = 0; i < count; ++i) EXPECT_EQ(first.devices[i], table.devices[i].description);
    ExpectShows(first, table.devices[0].caps);
    ExpectShows(last, table.devices[count - 1].caps);
}

} // namespace

// The create-tone dialog from its real template: the remembered values, the
// owner-drawn shape list, the check with its boxes, and the main window's
// handling of Play and Save.
#include <cstdio>
#include <string>
#include <vector>

#include "app/sound_commands_win.h"
#include "devices/device_lists.h"
#include "file_dialog_hook.h"
#include "main_window_fixture.h"
#include "platform/sim_wave_device.h"
#include "tones/create_tone_dialog_win.h"
#include "tones/tone_entries.h"

namespace {

std::string ItemText(HWND dialog, int id)
{
    char buf[256] = "";
    GetDlgItemTextA(dialog, id, buf, sizeof(buf));
    return buf;
}

// Message boxes have a static text with id 0xFFFF too; the dialog's caption tells them apart.
bool IsToneDialog(HWND window)
{
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    return std::string(caption) == "Create test tones";
}

void Press(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Enter(HWND dialog, int shape, const char* amplitude, const char* frequency, const char* seconds)
{
    SendDlgItemMessageA(dialog, IDC_TONE_SHAPES, LB_SETCURSEL, shape, 0);
    SetDlgItemTextA(dialog, IDC_TONE_AMPLITUDE, amplitude);
    SetDlgItemTextA(dialog, IDC_TONE_FREQUENCY, frequency);
    SetDlgItemTextA(dialog, IDC_TONE_SECONDS, seconds);
}

// The boxes caught, without the tone dialog itself (caught again each time a
// box it showed closes and it becomes active again).
std::vector<std::string> Captions(const MessageBoxCatcher& catcher)
{
    std::vector<std::string> captions;
    for (const CaughtBox& box : catcher.Boxes())
        if (box.caption != "Create test tones") captions.push_back(box.caption);
    return captions;
}

class CreateToneDialog : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        g_nToneShape = 0, g_nToneAmplitude = 50, g_nToneFrequency = 3000, g_nToneSeconds = 1;
    }
};

TEST_F(CreateToneDialog, OpensOnTheRememberedValuesWithTheSixShapes)
{
    g_nToneShape = 3, g_nToneAmplitude = 77, g_nToneFrequency = 4000, g_nToneSeconds = 2;
    std::string texts;
    std::vector<std::string> shapes;
    std::vector<SIZE> pictures;
    LRESULT selected = -1, itemHeight = 0;
    MessageBoxCatcher closer(IDCANCEL, BoxThreads::ThisThread, [&](HWND d) {
        for (int id :
             {IDC_TONE_AMPLITUDE, IDC_TONE_FREQUENCY, IDC_TONE_SECONDS, IDC_TONE_PLAY, IDC_TONE_SAVE, IDCANCEL})
            texts += ItemText(d, id) + "|";
        const HWND list = GetDlgItem(d, IDC_TONE_SHAPES);
        for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
            char text[32] = "";
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            shapes.push_back(text);
            BITMAP bm = {};
            GetObjectA(reinterpret_cast<HBITMAP>(SendMessageA(list, LB_GETITEMDATA, i, 0)), sizeof bm, &bm);
            pictures.push_back({bm.bmWidth, bm.bmHeight});
        }
        selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
        itemHeight = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    });
    EXPECT_EQ(RunCreateToneDialog(hWnd), kToneDialogCancel);
    ASSERT_EQ(closer.Boxes().size(), 1u);
    EXPECT_EQ(closer.Boxes()[0].caption, "Create test tones");
    EXPECT_EQ(texts, "77|4000|2|Play Tone|Save Tone|Cancel|");
    EXPECT_EQ(shapes, (std::vector<std::string>{"Sine", "Square", "Saw", "Spike", "White Noise", "Pink Noise"}));
    ASSERT_EQ(pictures.size(), 6u);
    for (const SIZE& s : pictures) EXPECT_TRUE(s.cx == 80 && s.cy == 20) << s.cx << " x " << s.cy;
    EXPECT_EQ(selected, 3);
    EXPECT_EQ(itemHeight, 20);
    EXPECT_EQ(g_nToneAmplitude, 77) << "Cancel checks nothing";
}

TEST_F(CreateToneDialog, RefusesWhatItCannotUseAndKeepsTheEntriesShown)
{
    // The main window's format at start-up: 11025 Hz, mono, 8-bit.
    struct Case {
        const char *amplitude, *frequency, *seconds;
        int button; // IDC_TONE_PLAY or IDC_TONE_SAVE
        int answer;
        INT_PTR result;
        std::vector<std::string> boxes;
    } cases[] = {
        {"101", "1000", "1", IDC_TONE_PLAY, IDOK, kToneDialogCancel, {"Amplitude invalid"}},
        {"", "1000", "1", IDC_TONE_SAVE, IDOK, kToneDialogCancel, {"Amplitude invalid"}},
        {"50", "60001", "1", IDC_TONE_PLAY, IDOK, kToneDialogCancel, {"Frequency invalid"}},
        {"50", "5512", "1", IDC_TONE_PLAY, IDNO, kToneDialogCancel, {"Frequency too high"}},
        {"50", "5512", "1", IDC_TONE_PLAY, IDYES, kToneDialogPlay, {"Frequency too high"}},
        {"50", "5511", "", IDC_TONE_SAVE, IDNO, kToneDialogCancel, {"File Size Warning"}},
        {"50", "5511", "", IDC_TONE_PLAY, IDNO, kToneDialogPlay, {}},
        {"0", "1", "3", IDC_TONE_SAVE, IDNO, kToneDialogSave, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.amplitude) + "/" + c.frequency + "/" + c.seconds);
        std::string shownAfter;
        bool ran = false;
        MessageBoxCatcher dialogs(IDCANCEL, BoxThreads::ThisThread, [&](HWND d) {
            if (!IsToneDialog(d) || ran) return;
            ran = true;
            Enter(d, 1, c.amplitude, c.frequency, c.seconds);
            dialogs.SetButton(c.answer); // the boxes the press provokes
            Press(d, c.button);
            dialogs.SetButton(IDCANCEL); // then the dialog, if still open
            shownAfter = ItemText(d, IDC_TONE_AMPLITUDE) + "/" + ItemText(d, IDC_TONE_FREQUENCY) + "/" +
                         ItemText(d, IDC_TONE_SECONDS);
        });
        EXPECT_EQ(RunCreateToneDialog(hWnd), c.result);
        EXPECT_EQ(Captions(dialogs), c.boxes);
        EXPECT_EQ(shownAfter, std::string(c.amplitude) + "/" + c.frequency + "/" + c.seconds);
        EXPECT_EQ(static_cast<uint32_t>(g_nToneAmplitude), c.amplitude[0] ? std::stoul(c.amplitude) : 0u);
    }
    EXPECT_EQ(g_nToneShape, 1) << "the shape is remembered when a tone is made";
}

TEST_F(CreateToneDialog, PlayStartsThePlaybackAndSaveWritesTheTone)
{
    SimReset();
    SetWaveDeviceTable(SimWaveDeviceTable());
    SimSetStepped(true);
    ChooseDefaultDevices(); // as the start-up does, on the simulated lists
    auto script = [](int button, const char* seconds) {
        return [button, seconds, ran = false](HWND d) mutable {
            if (!IsToneDialog(d) || ran) return;
            ran = true;
            Enter(d, 1, "30", "3000", seconds);
            Press(d, button);
        };
    };
    {
        MessageBoxCatcher dialogs(IDCANCEL, BoxThreads::ThisThread, script(IDC_TONE_PLAY, "1"));
        Command(IDM_CREATE_TONE);
    }
    EXPECT_EQ(g_bPlaying, 1);
    ASSERT_NE(g_pPlaybackSource, nullptr);
    // 8-bit square at 30 %: 128 + 38.1 in the first half of each period, 128 - 38.1 after.
    EXPECT_EQ(g_pPlaybackSource[0], 166);
    EXPECT_EQ(g_pPlaybackSource[2], 89);
    {
        MessageBoxCatcher busy(IDOK);
        Command(IDM_CREATE_TONE);
        EXPECT_EQ(Captions(busy), std::vector<std::string>{"Output in progress"});
    }
    StopAll(hWnd);
    ASSERT_TRUE(PumpUntil([] { return !PlaybackSessionActive(); }, 5000));

    char dir[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "mirravox-tone-test.wav";
    DeleteFileA(path.c_str());
    {
        FileDialogAnswer answer(path);
        MessageBoxCatcher dialogs(0, BoxThreads::ThisThread, script(IDC_TONE_SAVE, "3"));
        Command(IDM_CREATE_TONE);
        EXPECT_EQ(answer.Shown(), 1);
    }
    EXPECT_EQ(g_bPlaying, 0) << "Save plays nothing";
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
    // 11025 Hz, 3000 Hz: 29400 frames a loop (2.67 s), so 3 s take 2 loops.
    EXPECT_EQ(g_nToneRepeatCount, 2);
    EXPECT_EQ(data.nFileSizeLow, 44u + 2u * uint32_t(g_nPlaybackSourceSize));
    DeleteFileA(path.c_str());
    SimReset();
}

} // namespace

// The create-tone dialog from its real template, and what the main window
// does with its answer: plays the tone, or saves whole loops of it.
#include <string>
#include <vector>

#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "devices/device_lists.h"
#include "file_dialog_hook.h"
#include "main_window_fixture.h"
#include "platform/sim_wave_device.h"
#include "tones/create_tone_dialog_win.h"
#include "tones/tone_entries.h"

namespace {

// The fields amplitude/frequency/seconds as "77/4000/2".
std::string Fields(HWND dialog)
{
    std::string texts;
    for (int id : {IDC_TONE_AMPLITUDE, IDC_TONE_FREQUENCY, IDC_TONE_SECONDS}) {
        char buf[64] = "";
        GetDlgItemTextA(dialog, id, buf, sizeof(buf));
        texts += std::string(texts.empty() ? "" : "/") + buf;
    }
    return texts;
}

// The selected shape, then each shape's name, picture size and item height.
std::string Shapes(HWND dialog)
{
    const HWND list = GetDlgItem(dialog, IDC_TONE_SHAPES);
    std::string shown = std::to_string(SendMessageA(list, LB_GETCURSEL, 0, 0)) + ":";
    for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
        char text[32] = "";
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        BITMAP bm = {};
        GetObjectA(reinterpret_cast<HBITMAP>(SendMessageA(list, LB_GETITEMDATA, i, 0)), sizeof bm, &bm);
        shown += std::string(" ") + text + " " + std::to_string(bm.bmWidth) + "x" + std::to_string(bm.bmHeight) + "/" +
                 std::to_string(SendMessageA(list, LB_GETITEMHEIGHT, i, 0));
    }
    return shown;
}

void Enter(HWND dialog, int shape, std::string fields)
{
    SendDlgItemMessageA(dialog, IDC_TONE_SHAPES, LB_SETCURSEL, shape, 0);
    for (int id : {IDC_TONE_AMPLITUDE, IDC_TONE_FREQUENCY, IDC_TONE_SECONDS}) {
        const size_t cut = fields.find('/');
        SetDlgItemTextA(dialog, id, fields.substr(0, cut).c_str());
        fields = cut == std::string::npos ? "" : fields.substr(cut + 1);
    }
}

void Press(HWND dialog, int button)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(GetDlgItem(dialog, button)));
}

// Opens the dialog through the main window's command, or directly when the
// command is 0, and runs script in it once as it opens (message boxes have a
// static text with the id 0xFFFF too: the caption tells them apart). Every
// dialog caught is then closed with othersButton (0 presses nothing, which
// leaves a save dialog to its answer). Keeps the other boxes' captions.
class CreateToneDialog : public MainWindowFixture {
protected:
    template <class Script>
    INT_PTR Run(int command, Script script, int othersButton = IDCANCEL)
    {
        captions.clear();
        bool ran = false;
        INT_PTR result = 0;
        MessageBoxCatcher dialogs(othersButton, BoxThreads::ThisThread, [&](HWND d) {
            char caption[64] = "";
            GetWindowTextA(d, caption, sizeof caption);
            if (std::string(caption) != "Create test tones" || ran) return;
            ran = true;
            script(d, dialogs);
        });
        if (command)
            Command(command);
        else
            result = RunCreateToneDialog(hWnd);
        for (const CaughtBox& box : dialogs.Boxes())
            if (box.caption != "Create test tones") captions.push_back(box.caption);
        return result;
    }
    std::vector<std::string> captions;
};

TEST_F(CreateToneDialog, OpensOnTheRememberedValuesWithTheSixShapes)
{
    g_nToneShape = 3, g_nToneAmplitude = 77, g_nToneFrequency = 4000, g_nToneSeconds = 2;
    std::string shown;
    EXPECT_EQ(Run(0, [&](HWND d, MessageBoxCatcher&) { shown = Fields(d) + " " + Shapes(d); }), kToneDialogCancel);
    EXPECT_EQ(shown, "77/4000/2 3: Sine 80x20/20 Square 80x20/20 Saw 80x20/20 Spike 80x20/20 White Noise 80x20/20 "
                     "Pink Noise 80x20/20");
    EXPECT_EQ(g_nToneAmplitude, 77) << "Cancel checks nothing";
}

// The checks run on the main window's format (11025 Hz, mono, 8-bit at
// start-up), Save adds the file size check, a refusal keeps the dialog open
// with the entries shown, and a question's answer decides.
TEST_F(CreateToneDialog, RefusesWhatItCannotUseAndKeepsTheEntriesShown)
{
    const struct {
        const char* values; // amplitude/frequency/seconds
        int button, answer;
        INT_PTR result;
        std::vector<std::string> boxes;
    } kCases[] = {
        {"50/5512/1", IDC_TONE_PLAY, IDNO, kToneDialogCancel, {"Frequency too high"}},
        {"50/5512/1", IDC_TONE_PLAY, IDYES, kToneDialogPlay, {"Frequency too high"}},
        {"50/5511/", IDC_TONE_SAVE, IDNO, kToneDialogCancel, {"File Size Warning"}},
        {"50/5511/", IDC_TONE_PLAY, IDNO, kToneDialogPlay, {}},
        {"0/1/3", IDC_TONE_SAVE, IDNO, kToneDialogSave, {}},
    };
    for (const auto& c : kCases) {
        std::string shownAfter;
        const INT_PTR result = Run(0, [&](HWND d, MessageBoxCatcher& dialogs) {
            Enter(d, 1, c.values);       // Square
            dialogs.SetButton(c.answer); // for the boxes the press provokes
            Press(d, c.button);
            dialogs.SetButton(IDCANCEL);
            shownAfter = Fields(d);
        });
        EXPECT_EQ(result, c.result) << c.values;
        EXPECT_EQ(captions, c.boxes) << c.values;
        EXPECT_EQ(shownAfter, c.values);
        EXPECT_EQ(int(g_nToneAmplitude), std::stoi(c.values)) << "remembered";
    }
    EXPECT_EQ(g_nToneShape, 1) << "the shape is remembered when a tone is made";
}

// Play fills the playback source with the tone and starts it on the chosen
// device; Save plays nothing and writes whole loops of the tone.
TEST_F(CreateToneDialog, PlayStartsThePlaybackAndSaveWritesWholeLoops)
{
    SimReset();
    SetWaveDeviceTable(SimWaveDeviceTable());
    SimSetStepped(true);
    ChooseDefaultDevices();
    auto createTone = [&](int button, const char* values, int othersButton) {
        Run(
            IDM_CREATE_TONE, [&](HWND d, MessageBoxCatcher&) { Enter(d, 1, values), Press(d, button); }, othersButton);
    };
    createTone(IDC_TONE_PLAY, "30/3000/1", IDCANCEL);
    EXPECT_EQ(g_bPlaying, 1);
    ASSERT_NE(g_pPlaybackSource, nullptr);
    // 8-bit square at 30 %: 128 + 38.1 in the first half of each period, 128 - 38.1 after.
    EXPECT_EQ(g_pPlaybackSource[0], 166);
    EXPECT_EQ(g_pPlaybackSource[2], 89);
    createTone(IDC_TONE_PLAY, "30/3000/1", IDOK);
    EXPECT_EQ(captions, (std::vector<std::string>{"Output in progress"}));
    StopAll(hWnd);
    ASSERT_TRUE(PumpUntil([] { return !PlaybackSessionActive(); }, 5000));

    const std::string path = TempPath("mirravox-tone-test.wav");
    DeleteFileA(path.c_str());
    {
        FileDialogAnswer answer(path);
        createTone(IDC_TONE_SAVE, "30/3000/3", 0);
        EXPECT_EQ(answer.Shown(), 1);
    }
    EXPECT_EQ(g_bPlaying, 0) << "Save plays nothing";
    // 11025 Hz, 3000 Hz: 29400 frames a loop (2.67 s), so 3 s take 2 loops.
    EXPECT_EQ(g_nToneRepeatCount, 2);
    EXPECT_EQ(FileBytes(path).size(), 44u + 2u * uint32_t(g_nPlaybackSourceSize));
    DeleteFileA(path.c_str());
    SimReset();
}

} // namespace

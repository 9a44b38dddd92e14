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

// Runs script in the tone dialog once, as it opens (message boxes have a
// static text with the id 0xFFFF too: the caption tells them apart), and
// closes it with Cancel if it is still open then. Keeps the other boxes' captions.
class CreateToneDialog : public MainWindowFixture {
protected:
    template <class Script>
    INT_PTR Run(Script script)
    {
        captions.clear();
        bool ran = false;
        MessageBoxCatcher dialogs(IDCANCEL, BoxThreads::ThisThread, [&](HWND d) {
            char caption[64] = "";
            GetWindowTextA(d, caption, sizeof caption);
            if (std::string(caption) != "Create test tones" || ran) return;
            ran = true;
            script(d, dialogs);
        });
        const INT_PTR result = RunCreateToneDialog(hWnd);
        for (const CaughtBox& box : dialogs.Boxes())
            if (box.caption != "Create test tones") captions.push_back(box.caption);
        return result;
    }
    std::vector<std::string> captions;
};

TEST_F(CreateToneDialog, OpensOnTheRememberedValuesWithTheSixShapes)
{
    g_nToneShape = 3, g_nToneAmplitude = 77, g_nToneFrequency = 4000, g_nToneSeconds = 2;
    std::string fields, shapes;
    LRESULT selected = -1, itemHeight = 0;
    EXPECT_EQ(Run([&](HWND d, MessageBoxCatcher&) {
                  fields = Fields(d);
                  const HWND list = GetDlgItem(d, IDC_TONE_SHAPES);
                  for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
                      char text[32] = "";
                      SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
                      BITMAP bm = {};
                      GetObjectA(reinterpret_cast<HBITMAP>(SendMessageA(list, LB_GETITEMDATA, i, 0)), sizeof bm, &bm);
                      shapes += std::string(text) + " " + std::to_string(bm.bmWidth) + "x" +
                                std::to_string(bm.bmHeight) + ", ";
                  }
                  selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
                  itemHeight = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
              }),
              kToneDialogCancel);
    EXPECT_EQ(fields, "77/4000/2");
    EXPECT_EQ(shapes, "Sine 80x20, Square 80x20, Saw 80x20, Spike 80x20, White Noise 80x20, Pink Noise 80x20, ");
    EXPECT_EQ(selected, 3);
    EXPECT_EQ(itemHeight, 20);
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
        const INT_PTR result = Run([&](HWND d, MessageBoxCatcher& dialogs) {
            SendDlgItemMessageA(d, IDC_TONE_SHAPES, LB_SETCURSEL, 1, 0); // Square
            std::string rest = c.values;
            for (int id : {IDC_TONE_AMPLITUDE, IDC_TONE_FREQUENCY, IDC_TONE_SECONDS}) {
                const size_t cut = rest.find('/');
                SetDlgItemTextA(d, id, rest.substr(0, cut).c_str());
                rest = cut == std::string::npos ? "" : rest.substr(cut + 1);
            }
            dialogs.SetButton(c.answer); // for the boxes the press provokes
            SendMessageA(d, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED), LPARAM(GetDlgItem(d, c.button)));
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
    // The catcher presses its button in every dialog it sees; 0 presses nothing,
    // which leaves the save dialog to its answer.
    auto createTone = [&](int button, const char* seconds, int othersButton) {
        bool ran = false;
        MessageBoxCatcher dialogs(othersButton, BoxThreads::ThisThread, [&](HWND d) {
            char caption[64] = "";
            GetWindowTextA(d, caption, sizeof caption);
            if (std::string(caption) != "Create test tones" || ran) return;
            ran = true;
            SendDlgItemMessageA(d, IDC_TONE_SHAPES, LB_SETCURSEL, 1, 0); // Square
            SetDlgItemTextA(d, IDC_TONE_AMPLITUDE, "30");
            SetDlgItemTextA(d, IDC_TONE_FREQUENCY, "3000");
            SetDlgItemTextA(d, IDC_TONE_SECONDS, seconds);
            SendMessageA(d, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(GetDlgItem(d, button)));
        });
        Command(IDM_CREATE_TONE);
    };
    createTone(IDC_TONE_PLAY, "1", IDCANCEL);
    EXPECT_EQ(g_bPlaying, 1);
    ASSERT_NE(g_pPlaybackSource, nullptr);
    // 8-bit square at 30 %: 128 + 38.1 in the first half of each period, 128 - 38.1 after.
    EXPECT_EQ(g_pPlaybackSource[0], 166);
    EXPECT_EQ(g_pPlaybackSource[2], 89);
    {
        MessageBoxCatcher busy(IDOK);
        Command(IDM_CREATE_TONE);
        ASSERT_EQ(busy.Boxes().size(), 1u);
        EXPECT_EQ(busy.Boxes()[0].caption, "Output in progress");
    }
    StopAll(hWnd);
    ASSERT_TRUE(PumpUntil([] { return !PlaybackSessionActive(); }, 5000));

    char dir[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "mirravox-tone-test.wav";
    DeleteFileA(path.c_str());
    {
        FileDialogAnswer answer(path);
        createTone(IDC_TONE_SAVE, "3", 0);
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

// The main window built from its real template: its menus and start-up state,
// and what its commands, combos and scroll bar do to the controls.
#include <algorithm>
#include <string>
#include <vector>

#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "main_window_fixture.h"

#include <commctrl.h>

namespace {

using MainWindow = MainWindowFixture;
using Texts = std::vector<std::string>;

// The menu bar in order: each menu's title (0), then its items with their commands ("-" a separator).
TEST_F(MainWindow, MenusCarryTheirCommands)
{
    // clang-format off
    const std::vector<std::pair<std::string, UINT>> kItems = {
        {"File", 0}, {"Save Recording", IDM_SAVE_RECORDING}, {"Exit", IDM_EXIT},
        {"Settings", 0}, {"Device Selection", IDM_DEVICE_SELECTION}, {"Display settings", IDM_DISPLAY_SETTINGS},
        {"Mixer settings", IDM_MIXER}, {"View wave capabilities - Windows", IDM_WAVE_CAPS},
        {"View wave capabilities - DirectSound", IDM_DS_CAPS},
        {"Effects", 0}, {"3D Sound", IDM_3D_SOUND}, {"Audio FX", IDM_AUDIO_FX},
        {"Action", 0}, {"Record", IDM_RECORD}, {"Stop", IDM_STOP}, {"Playback", IDM_PLAYBACK}, {"Clear buffer", IDM_CLEAR},
        {"Test tones", 0}, {"Create tone", IDM_CREATE_TONE}, {"-", 0}, {"1kHz Sine wave", IDM_SINE_1K},
        {"1kHz Saw Wave", IDM_SAW_1K}, {"1kHz Square Wave", IDM_SQUARE_1K}, {"White noise", IDM_WHITE_NOISE},
        {"Help", 0}, {"Help", IDM_HELP}, {"About", IDM_ABOUT}};
    // clang-format on
    std::vector<std::pair<std::string, UINT>> items;
    char text[128] = "";
    const HMENU bar = GetMenu(hWnd);
    for (int m = 0; m < GetMenuItemCount(bar); ++m) {
        GetMenuStringA(bar, m, text, sizeof(text), MF_BYPOSITION);
        items.push_back({text, 0});
        const HMENU menu = GetSubMenu(bar, m);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
            items.push_back({GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR ? "-" : text, GetMenuItemID(menu, i)});
        }
    }
    EXPECT_EQ(items, kItems);
}

TEST_F(MainWindow, CombosStartWithTheirDefaults)
{
    const struct {
        int id, count;
        const char* selected;
    } kCombos[] = {{IDC_RATE, 13, "11025Hz (Telephone)"}, {IDC_CHANNELS, 2, "1 (Mono)"},
                   {IDC_RESOLUTION, 3, "8 bit"},          {IDC_VIEW, 3, "Waveform"},
                   {IDC_FRAME_SPEED, 6, "Fast"},          {IDC_BUFFER_SIZE, 6, "2MB"}};
    for (const auto& c : kCombos) {
        char text[64] = "";
        SendDlgItemMessageA(hWnd, c.id, CB_GETLBTEXT, SendDlgItemMessageA(hWnd, c.id, CB_GETCURSEL, 0, 0),
                            LPARAM(text));
        EXPECT_EQ(SendDlgItemMessageA(hWnd, c.id, CB_GETCOUNT, 0, 0), c.count) << c.id;
        EXPECT_STREQ(text, c.selected);
    }
    EXPECT_EQ((std::vector<int64_t>{g_nSampleRate, g_nChannels, g_nBitsPerSample, g_nFrameInterval, g_nInputBufferSize,
                                    g_nOutputBufferSize}),
              (std::vector<int64_t>{11025, 1, 8, 50, 2097152, 2097152}));
    std::vector<LRESULT> sliders;
    for (UINT m : {TBM_GETRANGEMIN, TBM_GETRANGEMAX, TBM_GETPOS})
        sliders.push_back(SendMessageA(g_hVertSlider, m, 0, 0));
    for (UINT m : {TBM_GETRANGEMIN, TBM_GETRANGEMAX}) sliders.push_back(SendMessageA(g_hHorzSlider, m, 0, 0));
    EXPECT_EQ(sliders, (std::vector<LRESULT>{-10, 10, 1, -90, 90}));
    for (int id : {IDC_RECORD, IDC_PLAYBACK, IDC_STOP})
        EXPECT_NE(SendDlgItemMessageA(hWnd, id, BM_GETIMAGE, IMAGE_ICON, 0), 0) << "icon on button " << id;
    EXPECT_FALSE(IsWindowEnabled(g_hScrollBar));
}

TEST_F(MainWindow, FormatChangeRederivesAndClears)
{
    g_nRecordedBytes = 4096;
    Select(IDC_RATE, 7);        // 44100Hz (CD quality)
    Select(IDC_CHANNELS, 1);    // stereo
    Select(IDC_RESOLUTION, 2);  // 24 bit
    Select(IDC_BUFFER_SIZE, 0); // 1MB
    EXPECT_EQ(Text(IDC_REQUESTED), "264600");
    EXPECT_EQ(g_nRecordedBytes, 0);
    EXPECT_EQ(g_nInputBufferSize, 1048572) << "whole 24-bit frames";
    Select(IDC_RESOLUTION, 0); // 8 bit: the sizes are fitted before the silence is written
    for (const uint8_t* store : {g_pInputBuffer, g_pOutputBuffer})
        EXPECT_EQ(std::count(store, store + 1048576, 128), 1048576) << "8-bit silence in every byte, the last 4 too";
    // A notification other than a selection change does nothing.
    SendDlgItemMessageA(hWnd, IDC_RATE, CB_SETCURSEL, 0, 0);
    Command(IDC_RATE, CBN_DROPDOWN);
    EXPECT_EQ(g_nSampleRate, 44100);
}

std::string Shown(const CaughtBox& box) { return box.text + "|" + box.caption + "|" + box.icon; }
std::string LowMemory(const char* what, const char* choice)
{
    return std::string("There is not enough memory in your computer to allocate\nthe requested ") + what + ". Select " +
           choice + "\nor free up some memory|Low memory|exclamation";
}

TEST_F(MainWindow, LowMemoryBoxesLeaveTheStoresAbsent)
{
    MessageBoxCatcher catcher;
    SetStoreAllocator([](size_t) -> void* { return nullptr; });
    Select(IDC_BUFFER_SIZE, 5); // 20MB
    FreePlaybackSource();
    SetPlaybackSourceAllocator([](size_t) -> uint8_t* { return nullptr; });
    Command(IDM_WHITE_NOISE);
    EXPECT_EQ((Texts{Shown(catcher.Boxes().at(0)), Shown(catcher.Boxes().at(1)), Shown(catcher.Boxes().at(2))}),
              (Texts{LowMemory("Input sound buffer", "a smaller buffer size"),
                     LowMemory("output sound buffer", "a smaller buffer size"), LowMemory("tone", "a shorter tone")}));
    EXPECT_EQ((std::vector<int64_t>{g_nInputBufferSize, g_nOutputBufferSize}), (std::vector<int64_t>{0, 0}));
    EXPECT_FALSE(PlaybackSessionActive()) << "nothing is played";
    // The program runs on: format changes and clearing touch no absent store.
    Select(IDC_RESOLUTION, 1);
    Command(IDM_CLEAR);
    EXPECT_EQ(catcher.Boxes().size(), 3u);
}

// Clear buffer and the tone commands empty the stores and reset the fields;
// a tone then plays. While only a recording runs a tone plays alongside it
// and the recording is kept.
TEST_F(MainWindow, ClearAndToneCommandsEmptyTheStores)
{
    MessageBoxCatcher catcher;
    for (int id : {IDM_CLEAR, IDM_SINE_1K, IDM_SAW_1K, IDM_SQUARE_1K, IDM_WHITE_NOISE}) {
        g_nRecordedBytes = 4096, g_nViewPos = 2048, g_pInputBuffer[7] = 3;
        SetDlgItemTextA(hWnd, IDC_FILL_IN, "50% 1.0MB 0.9Sec");
        SetDlgItemTextA(hWnd, IDC_AVERAGE_OUT, "88200");
        EnableWindow(g_hScrollBar, TRUE);
        Command(id);
        EXPECT_EQ((std::vector<int>{g_nRecordedBytes, g_nViewPos, g_pInputBuffer[7], g_bPlaying}),
                  (std::vector<int>{0, 0, 128, id != IDM_CLEAR}))
            << id;
        EXPECT_EQ(Text(IDC_FILL_IN) + "|" + Text(IDC_AVERAGE_OUT), "0% 0.0MB 0.0Sec|0") << id;
        EXPECT_FALSE(IsWindowEnabled(g_hScrollBar)) << id;
        EXPECT_TRUE(id == IDM_CLEAR || (g_pPlaybackSource && g_nPlaybackSourceSize > 0)) << id;
        StopAll(hWnd);
    }
    g_bRecording = 1;
    g_nRecordedBytes = 4096;
    Command(IDM_SAW_1K);
    EXPECT_EQ(g_nRecordedBytes, 4096);
    EXPECT_EQ(g_bPlaying, 1);
    g_bRecording = 0;
    StopAll(hWnd);
    EXPECT_TRUE(catcher.Boxes().empty());
}

TEST_F(MainWindow, TriggerAndGreyingWhileBusy)
{
    for (UINT check : {BST_CHECKED, BST_UNCHECKED}) {
        CheckDlgButton(hWnd, IDC_TRIGGER, check);
        Command(IDC_TRIGGER, check ? BN_CLICKED : BN_DOUBLECLICKED); // any notification
        EXPECT_EQ(g_bTrigger, check == BST_CHECKED);
    }

    // The format combos and the first three menus greyed while either session runs, then the controls that stay.
    for (auto [recording, playing] : {std::pair{1, 0}, {0, 1}, {0, 0}}) {
        g_bRecording = recording, g_bPlaying = playing;
        UpdateAllowedControls(hWnd);
        std::string state;
        for (int id : {IDC_RATE, IDC_CHANNELS, IDC_RESOLUTION, IDC_BUFFER_SIZE, IDC_VIEW, IDC_FRAME_SPEED, IDC_TRIGGER,
                       IDC_RECORD, IDC_PLAYBACK, IDC_STOP})
            state += IsWindowEnabled(GetDlgItem(hWnd, id)) ? '-' : 'G';
        for (UINT m = 0; m < 6; ++m) state += GetMenuState(GetMenu(hWnd), m, MF_BYPOSITION) & MF_GRAYED ? 'G' : '-';
        EXPECT_EQ(state, recording || playing ? "GGGG------GGG---" : "----------------") << recording << playing;
    }
}

// Scroll bar 1059 over a stopped recording: the view follows the bar's codes,
// a drag is read from the bar itself (the message carries only 16 bits).
TEST_F(MainWindow, StoreScrollBarMovesTheViewAndTheThumb)
{
    Select(IDC_RESOLUTION, 1); // 16-bit mono: blocks of 1024 bytes
    const int block = BlockBytes(), limit = 99 * block;
    g_nRecordedBytes = 100 * block;
    g_nViewPos = limit;
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_POS | SIF_PAGE, 0, limit, UINT(block), limit, 0};
    EnableWindow(g_hScrollBar, TRUE);
    SetScrollInfo(g_hScrollBar, SB_CTL, &info, TRUE);
    auto scroll = [&](int code, HWND bar) {
        SendMessageA(hWnd, WM_HSCROLL, MAKEWPARAM(code, 0), LPARAM(bar));
        return std::to_string(g_nViewPos) + " " + std::to_string(GetScrollPos(g_hScrollBar, SB_CTL));
    };
    EXPECT_EQ(scroll(SB_LEFT, g_hScrollBar), "0 0");
    EXPECT_EQ(scroll(SB_PAGERIGHT, g_hScrollBar), "1024 1024");
    EXPECT_EQ(scroll(SB_LINERIGHT, g_hScrollBar), "1026 1026");
    SetScrollPos(g_hScrollBar, SB_CTL, 70001, FALSE);
    EXPECT_EQ(scroll(SB_THUMBTRACK, g_hScrollBar), "70002 70002") << "whole frames, past 16 bits";
    EXPECT_EQ(g_nInputPos, 100 * block - (limit - 70002) - 512);
    EXPECT_EQ(scroll(SB_LEFT, g_hHorzSlider), "70002 70002") << "the zoom trackbar does not scroll the store";
}

// Shell opens as "file|folder|show"; the call at index g_shellSucceedsAt succeeds.
Texts g_shellCalls;
int g_shellSucceedsAt = -1;

INT_PTR RecordShellOpen(HWND owner, const char* file, const char* folder, int show)
{
    g_shellCalls.push_back(std::string(file) + "|" + (folder ? folder : "(none)") + "|" + std::to_string(show) +
                           (owner == g_hMainWnd ? "" : "|other owner"));
    return int(g_shellCalls.size()) - 1 == g_shellSucceedsAt ? 42 : 2; // 2: file not found
}

TEST_F(MainWindow, HelpOpensTheIndexPageAndTheMixerFallsBackToSndvol)
{
    SetShellOpen(&RecordShellOpen);
    g_shellCalls.clear();
    Command(IDM_HELP);
    Command(IDC_ALT_HELP);
    const std::string page =
        std::string(g_szProgramDir) + "\\help\\html\\index.html|(none)|" + std::to_string(SW_SHOWNORMAL);
    EXPECT_EQ(g_shellCalls, (Texts{page, page}));

    MessageBoxCatcher catcher;
    const std::string tail = std::string("|") + g_szProgramDir + "|" + std::to_string(SW_SHOWMAXIMIZED);
    for (int succeedsAt : {-1, 1, 0}) {
        g_shellCalls.clear();
        g_shellSucceedsAt = succeedsAt;
        Command(IDM_MIXER);
        Texts expected = {"sndvol32.exe" + tail, "sndvol.exe" + tail};
        if (succeedsAt == 0) expected.pop_back();
        EXPECT_EQ(g_shellCalls, expected) << succeedsAt;
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u) << "only when neither opens";
    EXPECT_EQ(Shown(catcher.Boxes()[0]),
              "Could not open the windows mixer (Volume control).\nOpen the volume control "
              "manually from the task bar\nor from the Start menu\n|Could not open mixer|none");
}

} // namespace

// The main window's command table, the busy rule, greying while sound runs,
// store scrolling with scroll bar 1059 and the layout.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/format_settings.h"
#include "app/main_window.h"
#include "audio/sessions.h"
#include "main_window_fixture.h"
#include "resource.h"
#include "tones/tone_box_text.h"

namespace {

using MainWindowCommands = MainWindowFixture;

const int kToneCommands[] = {IDM_SINE_1K, IDM_SAW_1K, IDM_SQUARE_1K, IDM_WHITE_NOISE};

TEST_F(MainWindowCommands, ToneCommandWhilePlayingShowsTheBusyMessageAndChangesNothing)
{
    MessageBoxCatcher catcher;
    g_bPlaying = 1;
    g_nRecordedBytes = 4096;
    for (int id : kToneCommands) Command(id);
    ASSERT_EQ(catcher.Boxes().size(), 4u);
    for (const CaughtBox& box : catcher.Boxes()) {
        EXPECT_EQ(box.text,
                  "There is already a sound being played\nIn order to play a new sound you must stop\n"
                  "the current output first.\n");
        EXPECT_EQ(box.caption, "Output in progress");
        EXPECT_EQ(box.icon, "information");
    }
    EXPECT_EQ(g_pPlaybackSource, nullptr);
    EXPECT_EQ(g_nRecordedBytes, 4096);
    EXPECT_EQ(g_bPlaying, 1) << "nothing is stopped";
    g_bPlaying = 0;
}

TEST_F(MainWindowCommands, ToneCommandClearsTheStoresAndGeneratesTheTone)
{
    MessageBoxCatcher catcher;
    for (int id : kToneCommands) {
        g_nRecordedBytes = 4096;
        EnableWindow(g_hScrollBar, TRUE);
        FreePlaybackSource();
        Command(id);
        EXPECT_EQ(g_nRecordedBytes, 0) << id;
        EXPECT_FALSE(IsWindowEnabled(g_hScrollBar)) << id;
        EXPECT_NE(g_pPlaybackSource, nullptr) << id;
        EXPECT_GT(g_nPlaybackSourceSize, 0) << id;
        EXPECT_EQ(g_bPlaying, 1) << id << ": the tone plays";
        StopAll(hWnd);
    }
    // While only a recording runs the tone plays alongside it: the recording
    // is kept.
    g_bRecording = 1;
    g_nRecordedBytes = 4096;
    Command(IDM_SAW_1K);
    EXPECT_EQ(g_nRecordedBytes, 4096);
    EXPECT_EQ(g_bPlaying, 1);
    g_bRecording = 0;
    StopAll(hWnd);
    EXPECT_TRUE(catcher.Boxes().empty());
}

uint8_t* NoToneMemory(size_t) { return nullptr; }

TEST_F(MainWindowCommands, ToneWithoutMemoryReportsLowMemory)
{
    MessageBoxCatcher catcher;
    SetToneAllocator(&NoToneMemory);
    Command(IDM_WHITE_NOISE);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, kToneLowMemoryBox.pszText);
    EXPECT_EQ(catcher.Boxes()[0].caption, "Low memory");
    EXPECT_EQ(catcher.Boxes()[0].icon, "exclamation");
    EXPECT_EQ(g_pPlaybackSource, nullptr);
    EXPECT_FALSE(PlaybackSessionActive()) << "nothing is played";
}

TEST_F(MainWindowCommands, ClearBufferTriggerAndTheSecondExit)
{
    g_nRecordedBytes = 4096;
    g_nViewPos = 2048;
    g_pInputBuffer[7] = 3;
    SetDlgItemTextA(hWnd, IDC_FILL_IN, "50% 1.0MB 0.9Sec");
    EnableWindow(g_hScrollBar, TRUE);
    Command(IDM_CLEAR);
    EXPECT_EQ(g_nRecordedBytes, 0);
    EXPECT_EQ(g_nViewPos, 0);
    EXPECT_EQ(g_pInputBuffer[7], 128);
    EXPECT_EQ(Text(IDC_FILL_IN), "0% 0.0MB 0.0Sec");
    EXPECT_FALSE(IsWindowEnabled(g_hScrollBar));

    CheckDlgButton(hWnd, IDC_TRIGGER, BST_CHECKED);
    Command(IDC_TRIGGER, BN_CLICKED);
    EXPECT_EQ(g_bTrigger, 1);
    CheckDlgButton(hWnd, IDC_TRIGGER, BST_UNCHECKED);
    Command(IDC_TRIGGER, BN_DOUBLECLICKED); // any notification
    EXPECT_EQ(g_bTrigger, 0);

    Command(IDC_ALT_EXIT);
    EXPECT_FALSE(IsWindow(hWnd));
}

bool MenuGrey(HWND hWnd, UINT position)
{
    return (GetMenuState(GetMenu(hWnd), position, MF_BYPOSITION) & MF_GRAYED) != 0;
}

TEST_F(MainWindowCommands, BusyGreysTheFormatCombosAndThreeMenusUntilTheLastSessionEnds)
{
    const int formatCombos[] = {IDC_RATE, IDC_CHANNELS, IDC_RESOLUTION, IDC_BUFFER_SIZE};
    const int neverGrey[] = {IDC_VIEW, IDC_FRAME_SPEED, IDC_TRIGGER, IDC_RECORD, IDC_PLAYBACK, IDC_STOP};

    g_bRecording = 1;
    SetBusy(hWnd, 1);
    for (int id : formatCombos) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hWnd, id))) << id;
    for (int id : neverGrey) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hWnd, id))) << id;
    for (UINT m : {0u, 1u, 2u}) EXPECT_TRUE(MenuGrey(hWnd, m)) << m;
    for (UINT m : {3u, 4u, 5u}) EXPECT_FALSE(MenuGrey(hWnd, m)) << m;

    // A session ends while another still runs: everything stays grey.
    g_bPlaying = 1;
    g_bRecording = 0;
    SetBusy(hWnd, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hWnd, IDC_RATE)));
    EXPECT_TRUE(MenuGrey(hWnd, 0));

    g_bPlaying = 0;
    SetBusy(hWnd, 0);
    for (int id : formatCombos) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hWnd, id))) << id;
    for (UINT m : {0u, 1u, 2u}) EXPECT_FALSE(MenuGrey(hWnd, m)) << m;
}

class StoreScrolling : public MainWindowFixture {
protected:
    // What Stop leaves after a recording: the bar enabled over 0 .. limit
    // with the thumb at the end.
    void Recorded(int32_t bytes)
    {
        g_nRecordedBytes = bytes;
        g_nViewPos = bytes - BlockBytes();
        SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_POS | SIF_PAGE, 0, g_nViewPos,
                           static_cast<UINT>(BlockBytes()), g_nViewPos, 0};
        EnableWindow(g_hScrollBar, TRUE);
        SetScrollInfo(g_hScrollBar, SB_CTL, &info, TRUE);
    }
    void Scroll(int code) { SendMessageA(hWnd, WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(g_hScrollBar)); }
    void Drag(int to)
    {
        SetScrollPos(g_hScrollBar, SB_CTL, to, FALSE);
        Scroll(SB_THUMBTRACK);
    }
    int Thumb() { return GetScrollPos(g_hScrollBar, SB_CTL); }
};

TEST_F(StoreScrolling, ScrollCodesMoveTheViewAndTheThumbOver16BitMono)
{
    Select(IDC_RESOLUTION, 1); // 16 bit
    const int block = BlockBytes();
    ASSERT_EQ(block, 1024);
    Recorded(10 * block);
    const int limit = 9 * block;

    Scroll(SB_LEFT);
    EXPECT_EQ(g_nViewPos, 0);
    EXPECT_EQ(Thumb(), 0);
    Scroll(SB_PAGERIGHT);
    EXPECT_EQ(g_nViewPos, block);
    Scroll(SB_LINERIGHT);
    EXPECT_EQ(g_nViewPos, block + 2);
    EXPECT_EQ(Thumb(), block + 2);
    Scroll(SB_RIGHT);
    EXPECT_EQ(g_nViewPos, limit);
    Scroll(SB_PAGERIGHT);
    EXPECT_EQ(g_nViewPos, limit);
    EXPECT_EQ(g_nInputPos, limit - 512 - limit + 10 * block);
    Scroll(SB_LINELEFT);
    EXPECT_EQ(g_nViewPos, limit - 2);
    Scroll(SB_ENDSCROLL);
    EXPECT_EQ(g_nViewPos, limit - 2);

    Drag(1001);
    EXPECT_EQ(g_nViewPos, 1002);
    EXPECT_EQ(Thumb(), 1002);

    // Scrolls from the zoom trackbar are not store scrolling.
    SendMessageA(hWnd, WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), reinterpret_cast<LPARAM>(g_hHorzSlider));
    EXPECT_EQ(g_nViewPos, 1002);

    // Stereo 16-bit: a drag to byte 1 lands half a frame from the start, and
    // a line left from there stops at the start.
    Select(IDC_CHANNELS, 1);
    Recorded(10 * BlockBytes());
    Drag(1);
    ASSERT_EQ(g_nViewPos, 2);
    Scroll(SB_LINELEFT);
    EXPECT_EQ(g_nViewPos, 0);
    EXPECT_EQ(Thumb(), 0);
    EXPECT_GE(g_nInputPos, 0);
}

TEST_F(MainWindowCommands, LayoutFillsTheClientArea)
{
    SetWindowPos(hWnd, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(hWnd, &client);
    auto inClient = [&](HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT display = inClient(g_hDisplayWnd), zoom = inClient(g_hHorzSlider), bar = inClient(g_hScrollBar);
    const RECT amplitude = inClient(g_hVertSlider);
    const int x = amplitude.right;
    EXPECT_EQ(display.left, x + 8);
    EXPECT_EQ(display.top, 8);
    EXPECT_EQ(display.right, client.right - 8);
    EXPECT_EQ(display.bottom, client.bottom - (zoom.bottom - zoom.top) - 8);
    EXPECT_EQ(zoom.left, x);
    EXPECT_EQ(zoom.bottom, client.bottom - 8);
    EXPECT_EQ(bar.left, x + (display.right - display.left) / 2);
    EXPECT_EQ(bar.bottom, client.bottom - 8);
    EXPECT_EQ(amplitude.bottom - amplitude.top, display.bottom - display.top);
    RECT inside;
    GetClientRect(g_hDisplayWnd, &inside);
    EXPECT_EQ(g_nDisplayWidth, inside.right);
    EXPECT_EQ(g_nDisplayHeight, inside.bottom);
}

struct ShellCall {
    HWND owner;
    std::string file;
    std::string folder; // "(none)" for no working folder
    int show;
};
std::vector<ShellCall> g_shellCalls;
int g_shellSucceedsAt = -1; // index of the call that succeeds; -1: none does

INT_PTR RecordShellOpen(HWND owner, const char* file, const char* folder, int show)
{
    g_shellCalls.push_back({owner, file, folder ? folder : "(none)", show});
    return static_cast<int>(g_shellCalls.size()) - 1 == g_shellSucceedsAt ? 42 : 2; // 2: file not found
}

TEST_F(MainWindowCommands, HelpOpensTheIndexPageBesideTheProgram)
{
    g_shellCalls.clear();
    SetShellOpen(&RecordShellOpen);
    Command(IDM_HELP);
    Command(IDC_ALT_HELP);
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string expected = program;
    expected = expected.substr(0, expected.rfind('\\')) + "\\help\\html\\index.html";
    ASSERT_EQ(g_shellCalls.size(), 2u);
    for (const ShellCall& call : g_shellCalls) {
        EXPECT_EQ(call.file, expected);
        EXPECT_EQ(call.owner, hWnd);
        EXPECT_EQ(call.folder, "(none)");
        EXPECT_EQ(call.show, SW_SHOWNORMAL);
    }
}

TEST_F(MainWindowCommands, MixerFallsBackToSndvolThenTellsTheUser)
{
    SetShellOpen(&RecordShellOpen);
    MessageBoxCatcher catcher;

    g_shellCalls.clear();
    g_shellSucceedsAt = -1;
    Command(IDM_MIXER);
    ASSERT_EQ(g_shellCalls.size(), 2u);
    EXPECT_EQ(g_shellCalls[0].file, "sndvol32.exe");
    EXPECT_EQ(g_shellCalls[1].file, "sndvol.exe");
    for (const ShellCall& call : g_shellCalls) {
        EXPECT_EQ(call.folder, g_szProgramDir);
        EXPECT_EQ(call.show, SW_SHOWMAXIMIZED);
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text,
              "Could not open the windows mixer (Volume control).\nOpen the volume control manually from the task "
              "bar\nor from the Start menu\n");
    EXPECT_EQ(catcher.Boxes()[0].caption, "Could not open mixer");
    EXPECT_EQ(catcher.Boxes()[0].icon, "none");

    g_shellCalls.clear();
    g_shellSucceedsAt = 1;
    Command(IDM_MIXER);
    EXPECT_EQ(g_shellCalls.size(), 2u);
    g_shellCalls.clear();
    g_shellSucceedsAt = 0;
    Command(IDM_MIXER);
    EXPECT_EQ(g_shellCalls.size(), 1u);
    EXPECT_EQ(catcher.Boxes().size(), 1u);
}

} // namespace

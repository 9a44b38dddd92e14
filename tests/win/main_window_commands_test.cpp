// The main window's command table, greying while sound runs, store scrolling
// with scroll bar 1059, the layout, help and the mixer.
#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "main_window_fixture.h"

namespace {

using MainWindowCommands = MainWindowFixture;

uint8_t* NoToneMemory(size_t) { return nullptr; }

TEST_F(MainWindowCommands, ToneCommandClearsTheStoresAndPlaysTheToneOrReportsLowMemory)
{
    MessageBoxCatcher catcher;
    for (int id : {IDM_SINE_1K, IDM_SAW_1K, IDM_SQUARE_1K, IDM_WHITE_NOISE}) {
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
    // While only a recording runs the tone plays alongside it: the recording is kept.
    g_bRecording = 1;
    g_nRecordedBytes = 4096;
    Command(IDM_SAW_1K);
    EXPECT_EQ(g_nRecordedBytes, 4096);
    EXPECT_EQ(g_bPlaying, 1);
    g_bRecording = 0;
    StopAll(hWnd);
    EXPECT_TRUE(catcher.Boxes().empty());

    FreePlaybackSource();
    SetPlaybackSourceAllocator(&NoToneMemory);
    Command(IDM_WHITE_NOISE);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, "There is not enough memory in your computer to allocate\nthe requested tone. "
                                       "Select a shorter tone\nor free up some memory");
    EXPECT_EQ(catcher.Boxes()[0].caption, "Low memory");
    EXPECT_EQ(catcher.Boxes()[0].icon, "exclamation");
    EXPECT_EQ(g_pPlaybackSource, nullptr);
    EXPECT_FALSE(PlaybackSessionActive()) << "nothing is played";
}

TEST_F(MainWindowCommands, ClearBufferAndTrigger)
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
}

TEST_F(MainWindowCommands, BusyGreysTheFormatCombosAndThreeMenusUntilTheLastSessionEnds)
{
    auto grey = [&](std::vector<int> ids, std::vector<UINT> menus) {
        std::string state;
        for (int id : ids) state += IsWindowEnabled(GetDlgItem(hWnd, id)) ? '-' : 'G';
        state += ' ';
        for (UINT m : menus) state += GetMenuState(GetMenu(hWnd), m, MF_BYPOSITION) & MF_GRAYED ? 'G' : '-';
        return state;
    };
    const std::vector<int> format = {IDC_RATE, IDC_CHANNELS, IDC_RESOLUTION, IDC_BUFFER_SIZE};
    const std::vector<int> others = {IDC_VIEW, IDC_FRAME_SPEED, IDC_TRIGGER, IDC_RECORD, IDC_PLAYBACK, IDC_STOP};

    g_bRecording = 1;
    UpdateAllowedControls(hWnd);
    EXPECT_EQ(grey(format, {0, 1, 2}), "GGGG GGG");
    EXPECT_EQ(grey(others, {3, 4, 5}), "------ ---");
    // A session ends while another still runs: everything stays grey.
    g_bPlaying = 1;
    g_bRecording = 0;
    UpdateAllowedControls(hWnd);
    EXPECT_EQ(grey(format, {0, 1, 2}), "GGGG GGG");
    g_bPlaying = 0;
    UpdateAllowedControls(hWnd);
    EXPECT_EQ(grey(format, {0, 1, 2}), "---- ---");
}

class StoreScrolling : public MainWindowFixture {
protected:
    // What Stop leaves after a recording: the bar enabled over 0 .. limit
    // with the thumb at the end.
    void Recorded(int32_t bytes)
    {
        g_nRecordedBytes = bytes;
        g_nViewPos = bytes - BlockBytes();
        SCROLLINFO info = {sizeof(info),
                           SIF_RANGE | SIF_POS | SIF_PAGE,
                           0,
                           g_nViewPos,
                           static_cast<UINT>(BlockBytes()),
                           g_nViewPos,
                           0};
        EnableWindow(g_hScrollBar, TRUE);
        SetScrollInfo(g_hScrollBar, SB_CTL, &info, TRUE);
    }
    void Scroll(int code, HWND bar = g_hScrollBar)
    {
        SendMessageA(hWnd, WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(bar));
    }
    void Drag(int to)
    {
        SetScrollPos(g_hScrollBar, SB_CTL, to, FALSE);
        Scroll(SB_THUMBTRACK);
    }
    int Thumb() { return GetScrollPos(g_hScrollBar, SB_CTL); }
};

TEST_F(StoreScrolling, ScrollCodesMoveTheViewAndTheThumb)
{
    Select(IDC_RESOLUTION, 1); // 16-bit mono
    const int block = BlockBytes(), limit = 9 * block;
    ASSERT_EQ(block, 1024);
    Recorded(10 * block);
    const struct {
        int code, view;
    } kSteps[] = {
        {SB_LEFT, 0},          {SB_PAGERIGHT, block},    {SB_LINERIGHT, block + 2}, {SB_RIGHT, limit},
        {SB_PAGERIGHT, limit}, {SB_LINELEFT, limit - 2}, {SB_ENDSCROLL, limit - 2},
    };
    for (const auto& step : kSteps) {
        Scroll(step.code);
        EXPECT_EQ(g_nViewPos, step.view) << "code " << step.code;
        EXPECT_EQ(Thumb(), std::min(step.view, limit - block + 1)) << "code " << step.code << ": the page fits";
        if (step.view == limit) {
            EXPECT_EQ(g_nInputPos, 10 * block - 512);
        }
    }
    Drag(1001);
    EXPECT_EQ(g_nViewPos, 1002) << "whole frames";
    EXPECT_EQ(Thumb(), 1002);
    Scroll(SB_LEFT, g_hHorzSlider);
    EXPECT_EQ(g_nViewPos, 1002) << "the zoom trackbar does not scroll the store";

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

TEST_F(MainWindowCommands, LayoutFillsTheClientAreaAndKeepsAMinimumSize)
{
    SetWindowPos(hWnd, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    RECT client, inside;
    GetClientRect(hWnd, &client);
    auto inClient = [&](HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT display = inClient(g_hDisplayWnd), zoom = inClient(g_hHorzSlider), bar = inClient(g_hScrollBar);
    const RECT amplitude = inClient(g_hVertSlider);
    EXPECT_EQ(display.left, amplitude.right + 8);
    EXPECT_EQ(display.top, 8);
    EXPECT_EQ(display.right, client.right - 8);
    EXPECT_EQ(display.bottom, client.bottom - (zoom.bottom - zoom.top) - 8);
    EXPECT_EQ(zoom.left, amplitude.right);
    EXPECT_EQ(zoom.bottom, client.bottom - 8);
    EXPECT_EQ(bar.left, amplitude.right + (display.right - display.left) / 2);
    EXPECT_EQ(bar.bottom, client.bottom - 8);
    EXPECT_EQ(amplitude.bottom - amplitude.top, display.bottom - display.top);
    GetClientRect(g_hDisplayWnd, &inside);
    EXPECT_EQ(g_nDisplayWidth, inside.right);
    EXPECT_EQ(g_nDisplayHeight, inside.bottom);

    MINMAXINFO info = {};
    SendMessageA(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 300);
    EXPECT_EQ(info.ptMinTrackSize.y, 390);
}

// Shell opens as "file|folder|show|owner is the window"; the call at index
// g_shellSucceedsAt succeeds.
std::vector<std::string> g_shellCalls;
int g_shellSucceedsAt = -1;
HWND g_shellOwner = nullptr;

INT_PTR RecordShellOpen(HWND owner, const char* file, const char* folder, int show)
{
    g_shellCalls.push_back(std::string(file) + "|" + (folder ? folder : "(none)") + "|" + std::to_string(show) +
                           (owner == g_shellOwner ? "" : "|other owner"));
    return int(g_shellCalls.size()) - 1 == g_shellSucceedsAt ? 42 : 2; // 2: file not found
}

TEST_F(MainWindowCommands, HelpOpensTheIndexPageBesideTheProgram)
{
    g_shellCalls.clear();
    g_shellOwner = hWnd;
    SetShellOpen(&RecordShellOpen);
    Command(IDM_HELP);
    Command(IDC_ALT_HELP);
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string page = program;
    page = page.substr(0, page.rfind('\\')) + "\\help\\html\\index.html|(none)|" + std::to_string(SW_SHOWNORMAL);
    EXPECT_EQ(g_shellCalls, (std::vector<std::string>{page, page}));
}

TEST_F(MainWindowCommands, MixerFallsBackToSndvolThenTellsTheUser)
{
    SetShellOpen(&RecordShellOpen);
    g_shellOwner = hWnd;
    MessageBoxCatcher catcher;
    const std::string tail = std::string("|") + g_szProgramDir + "|" + std::to_string(SW_SHOWMAXIMIZED);
    for (int succeedsAt : {-1, 1, 0}) {
        g_shellCalls.clear();
        g_shellSucceedsAt = succeedsAt;
        Command(IDM_MIXER);
        std::vector<std::string> expected = {"sndvol32.exe" + tail, "sndvol.exe" + tail};
        if (succeedsAt == 0) expected.pop_back();
        EXPECT_EQ(g_shellCalls, expected) << succeedsAt;
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u) << "only when neither opens";
    EXPECT_EQ(catcher.Boxes()[0].text,
              "Could not open the windows mixer (Volume control).\nOpen the volume control manually from the task "
              "bar\nor from the Start menu\n");
    EXPECT_EQ(catcher.Boxes()[0].caption, "Could not open mixer");
    EXPECT_EQ(catcher.Boxes()[0].icon, "none");
}

} // namespace

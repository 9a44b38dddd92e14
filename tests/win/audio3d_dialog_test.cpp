// The 3D audio test dialog on Wine's DirectMusic and the null sink: it opens
// on the default content file, plays, moves the marker over the grid and
// leaves the grid as it was, holds deferred settings back until Apply,
// refuses bad content files, reports its failures and leaks nothing over 50
// openings. Wine's synthesizer is silent, so no test listens.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "dialog_controls.h"
#include "dxtests/audio3d_calls_win.h"
#include "dxtests/audio3d_dialog_win.h"
#include "dxtests/audio3d_test.h"
#include "dxtests/directx_calls_win.h"
#include "file_dialog_hook.h"
#include "message_box_hook.h"
#include "midi_variants.h"
#include "platform/resource_counts_win.h"
#include "resource.h"
#include "shell/help_and_mixer_win.h"
#include "state/program_paths.h"
#include "state/win_state_win.h"

namespace {

std::string ContentFile(const char* name) { return std::string(MIRRAVOX_CONTENT_DIR) + "\\" + name; }

// The platform's 3D calls, watched: the settings last handed over, at once
// or deferred, and how often each kind of call came.
struct Handed {
    float doppler = -1, minDistance = -1;
    uint32_t lastListenerApply = 99;
    int immediateSettings = 0, immediatePlaces = 0, commits = 0;
};
Handed s_handed;
Audio3DCalls s_watched;

HResult WatchListener(IDirectSound3DListener* l, const Ds3dListener* r, uint32_t apply)
{
    s_handed.lastListenerApply = apply;
    s_handed.doppler = r->flDopplerFactor;
    s_handed.immediateSettings += apply == kApplyImmediate;
    return Audio3DCallsWin()->setListenerParameters(l, r, apply);
}
HResult WatchSource(IDirectSound3DBuffer* s, const Ds3dBuffer* r, uint32_t apply)
{
    s_handed.minDistance = r->flMinDistance;
    s_handed.immediateSettings += apply == kApplyImmediate;
    return Audio3DCallsWin()->setSourceParameters(s, r, apply);
}
HResult WatchPosition(IDirectSound3DBuffer* s, float x, float y, float z, uint32_t apply)
{
    s_handed.immediatePlaces += apply == kApplyImmediate;
    return Audio3DCallsWin()->setSourcePosition(s, x, y, z, apply);
}
HResult WatchCommit(IDirectSound3DListener* l)
{
    ++s_handed.commits;
    return Audio3DCallsWin()->commitDeferredSettings(l);
}

std::vector<COLORREF> PixelsOf(HDC dc, int w, int h)
{
    std::vector<COLORREF> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels.push_back(GetPixel(dc, x, y));
    return pixels;
}

class Test3DDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hInstance = GetModuleHandleA(nullptr);
        InitCommonControls();
        SetDirectXCalls(DirectXCallsWin());
        s_watched = *Audio3DCallsWin();
        s_watched.setListenerParameters = WatchListener;
        s_watched.setSourceParameters = WatchSource;
        s_watched.setSourcePosition = WatchPosition;
        s_watched.commitDeferredSettings = WatchCommit;
        SetAudio3DCalls(&s_watched);
        s_handed = Handed();
        std::snprintf(g_sz3DContentFile, sizeof(g_sz3DContentFile), "%s", ContentFile("Intrigue.mid").c_str());
    }
    void TearDown() override
    {
        if (IsWindow(dlg)) DestroyWindow(dlg);
        SetAudio3DCalls(nullptr);
        SetDirectXCalls(nullptr);
        SetShellOpen(nullptr);
    }
    // The dialog without its modal loop, once the settings have been handed over.
    void Open()
    {
        dlg = CreateDialogParamA(g_hInstance, "TEST3D", nullptr, &Audio3DDialogProc, 0);
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return !ItemText(dlg, IDC_3D_DOPPLER_VALUE).empty(); }, 5000));
    }
    std::vector<COLORREF> Picture()
    {
        HDC dc = GetDC(GetDlgItem(dlg, IDC_3D_PICTURE));
        std::vector<COLORREF> pixels = PixelsOf(dc, 128, 128);
        ReleaseDC(GetDlgItem(dlg, IDC_3D_PICTURE), dc);
        return pixels;
    }
    // Pumps messages for ms milliseconds: the 5 ms timer moves the source.
    static void Run(DWORD ms)
    {
        const DWORD start = GetTickCount();
        PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
    }

    HWND dlg = nullptr;
};

TEST_F(Test3DDialog, OpensWithItsSettingsHandedOverAndDefersThemUntilApply)
{
    Open();
    EXPECT_EQ(ItemText(dlg, IDC_3D_FILE), g_sz3DContentFile);
    EXPECT_TRUE(Enabled(dlg, IDC_3D_PLAY) && !Enabled(dlg, IDC_3D_STOP) && !Enabled(dlg, IDC_3D_APPLY));
    EXPECT_NE(SendMessageA(dlg, WM_GETICON, ICON_BIG, 0), 0);
    const struct {
        int id, min, max, pos, value;
        const char* shown;
    } sliders[] = {{IDC_3D_GRID_Z, -100, 100, 10, 0, ""},
                   {IDC_3D_GRID_X, -100, 100, 50, 0, ""},
                   {IDC_3D_DOPPLER, 0, 40, 0, IDC_3D_DOPPLER_VALUE, "0.00"},
                   {IDC_3D_ROLLOFF, 0, 40, 0, IDC_3D_ROLLOFF_VALUE, "0.00"},
                   {IDC_3D_MIN_DISTANCE, 1, 40, 25, IDC_3D_MIN_DISTANCE_VALUE, "5.00"},
                   {IDC_3D_MAX_DISTANCE, 1, 40, 30, IDC_3D_MAX_DISTANCE_VALUE, "10.00"}};
    for (const auto& s : sliders) {
        EXPECT_EQ(SendDlgItemMessageA(dlg, s.id, TBM_GETRANGEMIN, 0, 0), s.min) << s.id;
        EXPECT_EQ(SendDlgItemMessageA(dlg, s.id, TBM_GETRANGEMAX, 0, 0), s.max) << s.id;
        EXPECT_EQ(SendDlgItemMessageA(dlg, s.id, TBM_GETPOS, 0, 0), s.pos) << s.id;
        EXPECT_EQ(s.value ? ItemText(dlg, s.value) : "", s.shown) << s.id;
    }
    EXPECT_EQ(s_handed.doppler, 0.0f);
    EXPECT_EQ(s_handed.minDistance, 5.0f);

    static std::string opened;
    SetShellOpen([](HWND owner, const char* file, const char*, int) -> INT_PTR {
        opened = file;
        EXPECT_EQ(owner, g_hMainWnd);
        return 33;
    });
    Click(dlg, IDC_3D_HELP);
    EXPECT_NE(opened.find("\\help\\html\\hid_3daudio.htm"), std::string::npos) << opened;

    Click(dlg, IDC_3D_DEFER);
    EXPECT_TRUE(Enabled(dlg, IDC_3D_APPLY));
    EXPECT_EQ(s_handed.lastListenerApply, kApplyDeferred);
    const Handed before = s_handed;
    Slide(dlg, IDC_3D_DOPPLER, 35);
    Slide(dlg, IDC_3D_MIN_DISTANCE, 1);
    ASSERT_TRUE(PumpUntil([&] { return ItemText(dlg, IDC_3D_MIN_DISTANCE_VALUE) == "0.01"; }, 2000));
    EXPECT_EQ(ItemText(dlg, IDC_3D_DOPPLER_VALUE), "50.00");
    Run(200);
    EXPECT_GT(s_handed.immediatePlaces, before.immediatePlaces); // the source keeps moving
    EXPECT_EQ(s_handed.immediateSettings, before.immediateSettings);
    EXPECT_EQ(s_handed.doppler, 50.0f);
    EXPECT_EQ(s_handed.minDistance, 0.01f);
    EXPECT_EQ(s_handed.commits, 0);
    Click(dlg, IDC_3D_APPLY);
    EXPECT_EQ(s_handed.commits, 1);

    // Closed while deferring: the next opening hands its settings over at once.
    DestroyWindow(dlg);
    Open();
    EXPECT_EQ(s_handed.lastListenerApply, kApplyImmediate);
    EXPECT_FALSE(Enabled(dlg, IDC_3D_APPLY));
    EXPECT_EQ(s_handed.doppler, 0.0f);
}

TEST_F(Test3DDialog, PlaysAndTheMarkerMovesLeavingTheGridAsItWas)
{
    Open();
    Click(dlg, IDC_3D_PLAY);
    EXPECT_TRUE(!Enabled(dlg, IDC_3D_PLAY) && Enabled(dlg, IDC_3D_STOP));
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_3D_STOP));

    // The grid 100/100 sends the cross round the whole picture: a quarter
    // lap (1.6 s, hundreds of moves) takes it far.
    Slide(dlg, IDC_3D_GRID_X, 100);
    Slide(dlg, IDC_3D_GRID_Z, 100);
    Run(100);
    const std::vector<COLORREF> first = Picture();
    Run(1600);
    const std::vector<COLORREF> second = Picture();
    auto reds = [](const std::vector<COLORREF>& p) {
        std::vector<size_t> at;
        for (size_t i = 0; i < p.size(); ++i)
            if (p[i] == kMarkerColour) at.push_back(i);
        return at;
    };
    EXPECT_FALSE(reds(first).empty());
    EXPECT_NE(reds(first), reds(second));

    // Exactly the grid, with the cross where the marker is now.
    HBITMAP grid = LoadBitmapA(g_hInstance, MAKEINTRESOURCEA(IDB_GRID3D));
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, grid);
    std::vector<COLORREF> expected = PixelsOf(mem, 128, 128);
    DeleteObject(SelectObject(mem, old));
    DeleteDC(mem);
    const MarkerPoint centre = g_SourceMarker.Centre();
    for (const MarkerPoint& o : kCrossOffsets) {
        const int x = centre.x + o.x, y = centre.y + o.y;
        if (x >= 0 && x < 128 && y >= 0 && y < 128) expected[size_t(y) * 128 + x] = kMarkerColour;
    }
    int differing = 0;
    for (size_t i = 0; i < expected.size(); ++i) differing += second.at(i) != expected[i];
    EXPECT_EQ(differing, 0) << "cross at " << centre.x << "," << centre.y;

    Click(dlg, IDC_3D_STOP);
    EXPECT_TRUE(Enabled(dlg, IDC_3D_PLAY) && !Enabled(dlg, IDC_3D_STOP));
}

// Opened on a missing file; then a cancelled choice, and a hundred damaged
// copies of each content file, each refused with its status text, the good
// file playing again after them.
TEST_F(Test3DDialog, MissingDamagedOrCancelledContentLeavesTheDialogUsable)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string damaged = std::string(temp) + "mirravox-damaged.mid";
    std::snprintf(g_sz3DContentFile, sizeof(g_sz3DContentFile), "%sno such file.mid", temp);
    Open();
    EXPECT_EQ(ItemText(dlg, IDC_3D_FILE), "No file loaded.");
    EXPECT_TRUE(!Enabled(dlg, IDC_3D_PLAY) && !Enabled(dlg, IDC_3D_STOP));
    {
        FileDialogAnswer cancel("");
        Click(dlg, IDC_3D_OPEN);
        EXPECT_EQ(cancel.Shown(), 1);
        EXPECT_EQ(cancel.Title(), "Open Content File");
        EXPECT_EQ(ItemText(dlg, IDC_3D_FILE), "Load aborted.");
        EXPECT_TRUE(g_bSourceMotion);
    }
    for (const char* name : {"ReggaeBeats.mid", "Intrigue.mid"}) {
        std::ifstream in(ContentFile(name), std::ios::binary);
        const std::vector<MidiVariant> variants = MakeBrokenMidiVariants({std::istreambuf_iterator<char>(in), {}});
        ASSERT_EQ(variants.size(), 100u);
        for (const MidiVariant& v : variants) {
            std::ofstream(damaged, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(v.bytes.data()), std::streamsize(v.bytes.size()));
            FileDialogAnswer answer(damaged);
            Click(dlg, IDC_3D_OPEN);
            ASSERT_EQ(ItemText(dlg, IDC_3D_FILE), "Could not create segment from file.") << name << ": " << v.name;
            ASSERT_TRUE(!Enabled(dlg, IDC_3D_PLAY) && !Enabled(dlg, IDC_3D_STOP) && g_bSourceMotion)
                << name << ": " << v.name;
        }
        FileDialogAnswer answer(ContentFile(name));
        Click(dlg, IDC_3D_OPEN);
        EXPECT_EQ(ItemText(dlg, IDC_3D_FILE), ContentFile(name));
        EXPECT_EQ(std::string(g_sz3DContentFile), ContentFile(name));
        Click(dlg, IDC_3D_PLAY);
        EXPECT_TRUE(Enabled(dlg, IDC_3D_STOP)) << name;
        Click(dlg, IDC_3D_STOP);
    }
    DeleteFileA(damaged.c_str());
}

TEST_F(Test3DDialog, FailuresToSetUpOrToPlayEndTheTestWithTheirMessage)
{
    DirectXCalls refusing = *DirectXCallsWin();
    refusing.playSegment = [](IDirectMusicPerformance8*, IDirectMusicSegment8*, uint32_t, IDirectMusicAudioPath8*) {
        return kEFail;
    };
    const struct {
        const char *text, *caption;
    } cases[] = {{"Error initializing DirectMusic.", "3D Testing"},
                 {"Error playing DirectMusic segment. ", "3D Audio Testing"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        MessageBoxCatcher catcher(IDOK);
        if (&c == cases) {
            SetAudio3DCalls(nullptr); // no 3D audio path to be had
            Run3DAudioTest();         // returns: the test has ended
            EXPECT_EQ(g_Test3D.pEngine, nullptr);
        } else {
            SetAudio3DCalls(&s_watched);
            SetDirectXCalls(&refusing);
            Open();
            Click(dlg, IDC_3D_PLAY);
            EXPECT_FALSE(IsWindowVisible(dlg)); // ended
        }
        // The catcher takes the dialog too (its unnamed controls have the id
        // a box's text has): the box is the one with an icon.
        std::vector<CaughtBox> boxes;
        for (const CaughtBox& b : catcher.Boxes())
            if (b.icon != "none") boxes.push_back(b);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].caption, c.caption);
        EXPECT_EQ(boxes[0].icon, "error");
    }
}

// Growth of GDI objects and kernel handles over 50 cycles, after two that
// load what stays loaded.
template <class Cycle>
std::pair<int, int> GrowthOver50(Cycle cycle)
{
    cycle();
    cycle();
    const int gdi = GdiObjectCount(), handles = KernelHandleCount();
    EXPECT_TRUE(gdi > 0 && handles > 0);
    for (int i = 0; i < 50; ++i) cycle();
    return {GdiObjectCount() - gdi, KernelHandleCount() - handles};
}

// Wine's DirectMusic keeps handles of its own (3 per opening under Wine 8):
// the dialog may add none to what the test's objects cost without it.
TEST_F(Test3DDialog, FiftyOpenPlayCloseCyclesLeakNoGdiObjectsOrHandles)
{
    const std::pair<int, int> dialog = GrowthOver50([&] {
        Open();
        Click(dlg, IDC_3D_PLAY);
        PumpUntil([] { return g_SourceMarker.Drawn(); }, 2000);
        Click(dlg, IDC_3D_STOP);
        DestroyWindow(dlg);
    });
    const std::pair<int, int> objects = GrowthOver50([] {
        Begin3DTest();
        Init3DAudio(nullptr);
        LoadContentSegment(g_sz3DContentFile);
        Play3DSegment();
        Stop3DSegment();
        Release3DAudio();
    });
    std::printf("over 50 cycles: dialog +%d GDI objects, +%d handles; its objects alone +%d GDI objects, +%d handles\n",
                dialog.first, dialog.second, objects.first, objects.second);
    EXPECT_EQ(dialog.first, 0);
    EXPECT_LE(dialog.second, objects.second);
}

} // namespace

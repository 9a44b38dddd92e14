// The DirectX tests' dialogs, audio effects and 3D audio, on Wine's
// DirectMusic and DirectSound with the null sink (Wine's synthesizer is
// silent: no test listens). What both share is checked over a table of the
// two, each opened without its loop; the effects test's own loop runs a
// script of steps. The effect and 3D calls are watched on their way to Wine:
// Wine 8 attaches the compressor, echo, parametric equaliser and Waves reverb
// only, sends no segment notifications (the end of a sound is queued here)
// and reports deferred 3D settings back at once.
#include <windows.h>
#include <commctrl.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "dialog_controls.h"
#include "dxtests/audio3d_calls_win.h"
#include "dxtests/audio3d_dialog_win.h"
#include "dxtests/audio3d_test.h"
#include "dxtests/audio_effects_dialog_win.h"
#include "dxtests/directx_calls_win.h"
#include "dxtests/effect_calls_win.h"
#include "dxtests/effect_records.h"
#include "dxtests/effect_slider.h"
#include "dxtests/music_engine.h"
#include "dxtests/music_segment.h"
#include "dxtests/segment_notices.h"
#include "file_dialog_hook.h"
#include "message_box_hook.h"
#include "midi_variants.h"
#include "platform/resource_counts_win.h"
#include "resource.h"
#include "shell/help_and_mixer_win.h"
#include "state/program_paths.h"
#include "state/win_state_win.h"
#include "tones/wav_writer.h"
#include "wav_variants.h"

namespace {

// What the platform was handed: the records given to live effects, and the
// 3D settings last handed over, at once or deferred, with call counts.
struct Watched {
    struct Record {
        int32_t kind;
        void* effect;
        std::vector<unsigned char> bytes;
    };
    std::vector<Record> records;
    float doppler = -1, minDistance = -1;
    uint32_t listenerApply = 99;
    int immediateSettings = 0, immediatePlaces = 0, commits = 0;
};
Watched g_watched;
std::vector<SegmentNotice> g_notices; // a queued notice's message is null, its user the segment itself

// The two dialogs as the tables below work them.
struct DxDialog {
    const char* name; // its template
    DLGPROC proc;
    char* file; // the file it opens on, and the one chosen last
    int open, play, stop, status, help;
    const char *openTitle, *helpPage, *refused;
    bool loadsOnPlay;       // the effects test loads its file on Play, the 3D test on Open
    int (*run)();           // the whole test as the menu runs it
    bool (*holdsObjects)(); // the test's engine is still there
    bool (*ended)(HWND);    // the test has ended after a failed Play
    void (*playAll)(HWND);  // plays, with every effect that attaches
    void (*bare)();         // an opening's platform objects without the dialog
};
const DxDialog kDialogs[] = {
    {"DSAUDIOFX", AudioEffectsDialogProc, g_szEffectsSoundFile, IDC_FX_OPEN, IDC_FX_PLAY, IDC_FX_STOP, IDC_FX_STATUS,
     IDC_FX_HELP, "Open Audio File", "hid_audiofx.htm", "Could not load the segment file.", true, RunAudioEffectsTest,
     [] { return AudioEffectsTestState().engine != nullptr; },
     [](HWND) { return AudioEffectsTestState().ended && AudioEffectsTestState().result == 3; },
     [](HWND h) {
         for (int32_t kind : {kCompressor, kEcho, kParamEq, kReverb}) Click(h, IDC_FX_ENABLE_FIRST + kind);
         Click(h, IDC_FX_PLAY);
     },
     [] { CMusicEngine().Initialize(GetDesktopWindow(), 128, 8); }},
    {"TEST3D", Audio3DDialogProc, g_sz3DContentFile, IDC_3D_OPEN, IDC_3D_PLAY, IDC_3D_STOP, IDC_3D_FILE, IDC_3D_HELP,
     "Open Content File", "hid_3daudio.htm", "Could not create segment from file.", false,
     [] {
         Run3DAudioTest();
         return 0;
     },
     [] { return g_Test3D.pEngine != nullptr; }, [](HWND h) { return !IsWindowVisible(h); },
     [](HWND h) {
         Click(h, IDC_3D_PLAY);
         PumpUntil([] { return g_SourceMarker.Drawn(); }, 2000);
     },
     [] {
         Begin3DTest();
         Init3DAudio(nullptr);
         LoadContentSegment(g_sz3DContentFile);
         Play3DSegment();
         Release3DAudio();
     }},
};

class DirectXDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hInstance = GetModuleHandleA(nullptr);
        InitCommonControls();
        SetDirectXCalls(DirectXCallsWin());
        g_watched = Watched();
        g_notices.clear();
        effects = *EffectCallsWin();
        effects.setAllParameters = [](EffectKind kind, void* effect, const void* record) {
            const auto* bytes = static_cast<const unsigned char*>(record);
            g_watched.records.push_back({kind, effect, {bytes, bytes + EffectRecordSize(kind)}});
            return EffectCallsWin()->setAllParameters(kind, effect, record);
        };
        effects.nextNotice = [](IDirectMusicPerformance8* performance, SegmentNotice* notice) {
            if (g_notices.empty()) return EffectCallsWin()->nextNotice(performance, notice);
            *notice = g_notices.front();
            g_notices.erase(g_notices.begin());
            return kSOk;
        };
        effects.freeNotice = [](IDirectMusicPerformance8* p, void* m) {
            return m ? EffectCallsWin()->freeNotice(p, m) : kSOk;
        };
        effects.querySegmentState = effects.stateSegment = [](void* object, void** out) {
            static_cast<IUnknown*>(object)->AddRef();
            *out = object;
            return kSOk;
        };
        SetEffectCalls(&effects);
        audio3d = *Audio3DCallsWin();
        audio3d.setListenerParameters = [](IDirectSound3DListener* l, const Ds3dListener* r, uint32_t apply) {
            g_watched.listenerApply = apply;
            g_watched.doppler = r->flDopplerFactor;
            g_watched.immediateSettings += apply == kApplyImmediate;
            return Audio3DCallsWin()->setListenerParameters(l, r, apply);
        };
        audio3d.setSourceParameters = [](IDirectSound3DBuffer* s, const Ds3dBuffer* r, uint32_t apply) {
            g_watched.minDistance = r->flMinDistance;
            g_watched.immediateSettings += apply == kApplyImmediate;
            return Audio3DCallsWin()->setSourceParameters(s, r, apply);
        };
        audio3d.setSourcePosition = [](IDirectSound3DBuffer* s, float x, float y, float z, uint32_t apply) {
            g_watched.immediatePlaces += apply == kApplyImmediate;
            return Audio3DCallsWin()->setSourcePosition(s, x, y, z, apply);
        };
        audio3d.commitDeferredSettings = [](IDirectSound3DListener* l) {
            ++g_watched.commits;
            return Audio3DCallsWin()->commitDeferredSettings(l);
        };
        SetAudio3DCalls(&audio3d);
    }
    void TearDown() override
    {
        if (IsWindow(dlg)) DestroyWindow(dlg);
        SetDirectXCalls(nullptr);
        SetEffectCalls(nullptr);
        SetAudio3DCalls(nullptr);
        SetShellOpen(nullptr);
    }
    // A dialog without its loop, on file.
    void Open(const DxDialog& d, const std::string& file)
    {
        std::snprintf(d.file, MAX_PATH, "%s", file.c_str());
        dlg = CreateDialogParamA(g_hInstance, d.name, nullptr, d.proc, 0);
        ASSERT_NE(dlg, nullptr);
        ShowWindow(dlg, SW_SHOW);
    }

    HWND dlg = nullptr;
    EffectCalls effects;
    Audio3DCalls audio3d;
};

// The message boxes caught (the 3D dialog, whose unnamed controls have the
// id a box's text has, is caught too: it has no icon).
std::vector<CaughtBox> Boxes(const MessageBoxCatcher& catcher)
{
    std::vector<CaughtBox> boxes;
    for (const CaughtBox& b : catcher.Boxes())
        if (b.icon != "none") boxes.push_back(b);
    return boxes;
}

TEST_F(DirectXDialogs, OpenTheirHelpPageAndRefuseMissingCancelledOrDamagedFiles)
{
    const auto bytesOf = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
    };
    // Two files that claim nothing, refused by the platform's loader, for
    // both; then the hundred damaged copies of a WAV file for the effects
    // test, and of each content file for the 3D test.
    using Files = std::vector<std::pair<std::string, std::vector<uint8_t>>>;
    const Files claimNothing = {{"empty.mid", {}}, {"junk.mid", std::vector<uint8_t>(3000, 'Z')}};
    Files effectsFiles = claimNothing, test3DFiles = claimNothing;
    std::vector<uint8_t> wav = BuildWavHeader({22050, 1, 16}, 2000);
    wav.resize(44 + 2000, 0x40);
    for (const WavVariant& v : MakeBrokenWavVariants(wav)) effectsFiles.push_back({"damaged.wav", v.bytes});
    for (const char* name : {"Intrigue.mid", "ReggaeBeats.mid"})
        for (const MidiVariant& v : MakeBrokenMidiVariants(bytesOf(ContentFile(name))))
            test3DFiles.push_back({"damaged.mid", v.bytes});
    ASSERT_EQ(effectsFiles.size() + test3DFiles.size(), 2u + 100u + 2u + 200u);
    static std::string opened;
    SetShellOpen([](HWND owner, const char* file, const char*, int) -> INT_PTR {
        opened = owner == g_hMainWnd ? file : "another owner";
        return 33;
    });
    MessageBoxCatcher catcher;
    for (const DxDialog& d : kDialogs) {
        SCOPED_TRACE(d.name);
        Open(d, TempFile("gone.mid"));
        Click(dlg, d.help);
        EXPECT_EQ(opened.substr(opened.rfind("\\help\\html\\") + 1), std::string("help\\html\\") + d.helpPage);
        EXPECT_EQ(ItemText(dlg, d.status), "No file loaded.");
        EXPECT_TRUE(!Enabled(dlg, d.play) && !Enabled(dlg, d.stop));
        {
            FileDialogAnswer cancel("");
            Click(dlg, d.open);
            EXPECT_EQ(cancel.Shown(), 1);
            EXPECT_EQ(cancel.Title(), d.openTitle);
            EXPECT_EQ(ItemText(dlg, d.status), "Load aborted.");
        }
        const Files& damaged = d.loadsOnPlay ? effectsFiles : test3DFiles;
        for (size_t i = 0; i < damaged.size(); ++i) {
            const auto& [name, bytes] = damaged[i];
            const std::string path = TempFile(name);
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
            FileDialogAnswer choose(path);
            Click(dlg, d.open);
            if (d.loadsOnPlay) Click(dlg, d.play);
            ASSERT_EQ(ItemText(dlg, d.status), d.refused) << "copy " << i << ", " << name;
            ASSERT_TRUE(!Enabled(dlg, d.stop) && g_bSourceMotion) << "copy " << i << ", " << name;
            DeleteFileA(path.c_str());
        }
        FileDialogAnswer choose(ContentFile("ReggaeBeats.mid"));
        Click(dlg, d.open);
        Click(dlg, d.play);
        EXPECT_TRUE(Enabled(dlg, d.stop)) << "the good file plays after them";
        EXPECT_EQ(std::string(d.file), ContentFile("ReggaeBeats.mid")) << "for the next opening";
        DestroyWindow(dlg);
    }
    EXPECT_TRUE(Boxes(catcher).empty());
}

TEST_F(DirectXDialogs, FailuresToStartOrToPlayEndTheTestWithTheirMessage)
{
    const struct {
        const DxDialog& dialog;
        bool atStart;
        const char *text, *caption;
    } cases[] = {
        {kDialogs[0], true, "Error initializing DirectSound.  Sample will now exit.", "DirectSound Sample"},
        {kDialogs[0], false, "Error playing DirectSound buffer.Sample will now exit.", "DirectSound Sample"},
        {kDialogs[1], true, "Error initializing DirectMusic.", "3D Testing"},
        {kDialogs[1], false, "Error playing DirectMusic segment. ", "3D Audio Testing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        DirectXCalls failing = *DirectXCallsWin();
        if (c.atStart)
            failing.initAudio = [](IDirectMusicPerformance8*, void*, uint32_t, uint32_t, uint32_t) {
                return static_cast<HResult>(0x88780078u); // DSERR_NODRIVER
            };
        else
            failing.playSegment = [](IDirectMusicPerformance8*, IDirectMusicSegment8*, uint32_t,
                                     IDirectMusicAudioPath8*) { return kEFail; };
        SetDirectXCalls(&failing);
        MessageBoxCatcher catcher;
        if (c.atStart) {
            EXPECT_EQ(c.dialog.run(), 0);
            EXPECT_FALSE(c.dialog.holdsObjects());
        } else {
            Open(c.dialog, ContentFile("Intrigue.mid"));
            Click(dlg, c.dialog.play);
            EXPECT_TRUE(c.dialog.ended(dlg));
            DestroyWindow(dlg);
        }
        const std::vector<CaughtBox> boxes = Boxes(catcher);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].caption, c.caption);
        EXPECT_EQ(boxes[0].icon, "error");
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)); // the main loop goes on
    }
}

// Growth of GDI objects and kernel handles over 50 cycles, after two that
// load what stays loaded.
std::pair<int, int> GrowthOver50(const std::function<void()>& cycle)
{
    cycle();
    cycle();
    const int gdi = GdiObjectCount(), handles = KernelHandleCount();
    EXPECT_TRUE(gdi > 0 && handles > 0);
    for (int i = 0; i < 50; ++i) cycle();
    return {GdiObjectCount() - gdi, KernelHandleCount() - handles};
}

// Wine 8's DirectMusic keeps kernel handles of every performance and audio
// path it closes: each dialog may add none to what its objects cost without it.
TEST_F(DirectXDialogs, FiftyOpenPlayCloseCyclesLeakNoGdiObjectsOrHandles)
{
    for (const DxDialog& d : kDialogs) {
        const std::pair<int, int> dialog = GrowthOver50([&] {
            Open(d, ContentFile("Intrigue.mid"));
            d.playAll(dlg);
            DestroyWindow(dlg); // while it plays
        });
        const std::pair<int, int> objects = GrowthOver50(d.bare);
        std::printf("%s over 50 cycles: +%d GDI objects, +%d handles; its objects alone +%d, +%d\n", d.name,
                    dialog.first, dialog.second, objects.first, objects.second);
        EXPECT_EQ(dialog.first, 0) << d.name;
        EXPECT_LE(dialog.second, objects.second) << d.name;
    }
}

// Moves the first row's slider; the dialog reads the page as it repaints.
void MoveSlider(HWND hDlg, int32_t position) { Slide(hDlg, IDC_FX_ROW_FIRST + 2, position); }

// Play, Loop and the effect boxes usable only while stopped, Stop only while
// playing; after a press the focus on the one to press next.
void ExpectTransport(HWND h, bool stopped, bool pressed = true)
{
    for (int id : {IDC_FX_PLAY, IDC_FX_LOOP, IDC_FX_ENABLE_FIRST, IDC_FX_ENABLE_LAST})
        EXPECT_EQ(Enabled(h, id), stopped) << id;
    EXPECT_EQ(Enabled(h, IDC_FX_STOP), !stopped);
    EXPECT_TRUE(!pressed || GetFocus() == GetDlgItem(h, stopped ? IDC_FX_PLAY : IDC_FX_STOP)) << "focus";
}

// Plays without Loop, and queues the segment's end as the performance announces it.
void PlayToItsEnd(HWND h)
{
    Click(h, IDC_FX_LOOP);
    Click(h, IDC_FX_PLAY);
    g_notices.push_back({nullptr, kSegmentEndOption, AudioEffectsTestState().segment->GetSegment()});
}

class AudioEffectsDialog : public DirectXDialogs {};

TEST_F(AudioEffectsDialog, PlaysStopsEndsByItselfAndOpensAgainAfreshOnTheFileChosenLast)
{
    const std::string tone = TempFile("tone.wav"); // 0.3 s of silence, 16-bit mono 22050 Hz
    std::vector<uint8_t> wav = BuildWavHeader({22050, 1, 16}, 13230);
    wav.resize(wav.size() + 13230);
    std::ofstream(tone, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
    Open(kDialogs[0], ContentFile("ReggaeBeats.mid"));
    EXPECT_EQ(ItemText(dlg, IDC_FX_FILENAME), ContentFile("ReggaeBeats.mid"));
    EXPECT_EQ(ItemText(dlg, IDC_FX_STATUS), "File loaded.");
    EXPECT_TRUE(Checked(dlg, IDC_FX_LOOP) && Checked(dlg, IDC_FX_ENABLE_FIRST + kChorus));
    EXPECT_EQ(ItemText(dlg, IDC_FX_PAGE_TITLE), "Parameters for [ Chorus ]");
    ExpectTransport(dlg, true, false);
    // The radio groups stay apart, and a click reads the page.
    for (int id : {IDC_FX_PHASE_FIRST + 1, IDC_FX_SINE}) Click(dlg, id);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Checked(dlg, IDC_FX_PHASE_FIRST + i), i == 1) << i;
    EXPECT_TRUE(Checked(dlg, IDC_FX_SINE) && !Checked(dlg, IDC_FX_TRIANGLE) && Checked(dlg, IDC_FX_ADJUST_FIRST));
    const DsfxChorus& chorus = AudioEffectsTestState().effects->parameters.chorus;
    EXPECT_TRUE(chorus.lPhase == 1 && chorus.lWaveform == 1) << chorus.lPhase << " " << chorus.lWaveform;

    Click(dlg, IDC_FX_PLAY);
    EXPECT_EQ(ItemText(dlg, IDC_FX_STATUS), "Sound playing.");
    ExpectTransport(dlg, false);
    Click(dlg, IDC_FX_STOP);
    EXPECT_EQ(ItemText(dlg, IDC_FX_STATUS), "Sound stopped.");
    ExpectTransport(dlg, true);
    PlayToItsEnd(dlg);
    DrainNotifications(dlg);
    ExpectTransport(dlg, true);
    EXPECT_EQ(ItemText(dlg, IDC_FX_STATUS), "Sound playing.");

    Click(dlg, IDC_FX_ADJUST_FIRST + kEcho);
    MoveSlider(dlg, kSliderTop);
    EXPECT_EQ(AudioEffectsTestState().effects->parameters.echo.fWetDryMix, 100.0f);
    Click(dlg, IDC_FX_PLAY);
    {
        FileDialogAnswer cancel("");
        Click(dlg, IDC_FX_OPEN);
    }
    // The sound stopped; Play and Stop both usable, Loop still as while playing.
    EXPECT_TRUE(Enabled(dlg, IDC_FX_PLAY) && Enabled(dlg, IDC_FX_STOP) && !Enabled(dlg, IDC_FX_LOOP));
    FileDialogAnswer choose(tone);
    Click(dlg, IDC_FX_OPEN);
    EXPECT_EQ(ItemText(dlg, IDC_FX_FILENAME), tone);
    EXPECT_EQ(ItemText(dlg, IDC_FX_STATUS), "File loaded.");
    EXPECT_TRUE(Enabled(dlg, IDC_FX_PLAY) && !Enabled(dlg, IDC_FX_STOP));
    Click(dlg, IDC_FX_PLAY);
    EXPECT_EQ(ItemText(dlg, IDC_FX_STATUS), "Sound playing.");
    DestroyWindow(dlg); // while it plays

    // The next opening starts from the file chosen last, and afresh.
    EXPECT_EQ(std::string(g_szEffectsSoundFile), tone);
    Open(kDialogs[0], tone);
    EXPECT_EQ(ItemText(dlg, IDC_FX_FILENAME), tone);
    EXPECT_TRUE(Checked(dlg, IDC_FX_ADJUST_FIRST) && !Checked(dlg, IDC_FX_ADJUST_FIRST + kEcho));
    EXPECT_EQ(ItemText(dlg, IDC_FX_PAGE_TITLE), "Parameters for [ Chorus ]");
    EXPECT_NE(AudioEffectsTestState().effects->parameters.echo.fWetDryMix, 100.0f);
    DeleteFileA(tone.c_str());
}

// The test's own loop waits on the performance's notices as well as on
// messages: a thread timer plays to the end inside it, and presses Exit once
// the loop has taken the notice, or after 10 s.
DWORD g_exitBy = 0;
void CALLBACK PlayThenExit(HWND, UINT, UINT_PTR, DWORD)
{
    HWND h = AudioEffectsTestState().hDialog;
    if (h && !g_exitBy) {
        PlayToItsEnd(h);
        SetEvent(AudioEffectsTestState().hNotifyEvent);
        g_exitBy = GetTickCount() + 10000;
    } else if (h && (g_notices.empty() || GetTickCount() > g_exitBy)) {
        SendMessageA(h, WM_COMMAND, IDOK, 0);
    }
}

TEST_F(AudioEffectsDialog, ItsLoopTakesTheNoticesAndEndsOnExit)
{
    std::snprintf(g_szEffectsSoundFile, sizeof g_szEffectsSoundFile, "%s", ContentFile("ReggaeBeats.mid").c_str());
    g_exitBy = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, PlayThenExit);
    EXPECT_EQ(RunAudioEffectsTest(), 0);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_exitBy && g_notices.empty()) << "the notice was not taken";
    const AudioEffectsTest& state = AudioEffectsTestState();
    EXPECT_TRUE(!state.hDialog && !state.engine && !state.segment && !state.effects && !state.hNotifyEvent);
}

TEST_F(AudioEffectsDialog, EffectsAttachAndTakeTheirParametersLive)
{
    Open(kDialogs[0], ContentFile("ReggaeBeats.mid"));
    // Chorus stays checked: it is not registered, the other four attach without it.
    kDialogs[0].playAll(dlg);
    const CBufferEffects& fx = *AudioEffectsTestState().effects;
    EXPECT_EQ(fx.effects[kChorus], nullptr);
    EXPECT_EQ(g_watched.records.size(), 4u); // Play handed each attached effect its record
    for (int32_t kind : {kCompressor, kEcho, kParamEq, kReverb}) {
        const EffectInfo& info = EffectInfoOf(kind);
        Click(dlg, IDC_FX_ADJUST_FIRST + kind);
        g_watched.records.clear();
        MoveSlider(dlg, kSliderTop);
        ASSERT_FALSE(g_watched.records.empty()) << info.title;
        EXPECT_NE(fx.effects[kind], nullptr);
        EXPECT_EQ(g_watched.records.back().kind, kind);
        EXPECT_EQ(g_watched.records.back().effect, fx.effects[kind]);
        EXPECT_EQ(RowValue(g_watched.records.back().bytes.data(), info.rows[0]), info.rows[0].max) << info.title;
    }
    // The equaliser reports what it was given.
    DSFXParamEq live = {};
    EXPECT_EQ(static_cast<IDirectSoundFXParamEq8*>(fx.effects[kParamEq])->GetAllParameters(&live), S_OK);
    EXPECT_EQ(std::memcmp(&live, &fx.parameters.paramEq, sizeof live), 0);
    EXPECT_EQ(live.fCenter, 16000.0f);
    // An effect that is not attached: its sliders change only its record.
    Click(dlg, IDC_FX_ADJUST_FIRST + kChorus);
    g_watched.records.clear();
    MoveSlider(dlg, kSliderTop);
    EXPECT_TRUE(g_watched.records.empty());
    EXPECT_EQ(fx.parameters.chorus.fWetDryMix, 100.0f);
}

class Test3DDialog : public DirectXDialogs {
protected:
    // Opened on a content file, once the settings have been handed over.
    void Open3D()
    {
        Open(kDialogs[1], ContentFile("Intrigue.mid"));
        ASSERT_TRUE(PumpUntil([&] { return !ItemText(dlg, IDC_3D_DOPPLER_VALUE).empty(); }, 5000));
    }
    // Pumps messages for ms milliseconds: the 5 ms timer moves the source.
    static void Run(DWORD ms)
    {
        const DWORD start = GetTickCount();
        PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
    }
};

TEST_F(Test3DDialog, OpensWithItsSettingsHandedOverAndDefersThemUntilApply)
{
    Open3D();
    EXPECT_EQ(ItemText(dlg, IDC_3D_FILE), ContentFile("Intrigue.mid"));
    EXPECT_TRUE(Enabled(dlg, IDC_3D_PLAY) && !Enabled(dlg, IDC_3D_STOP) && !Enabled(dlg, IDC_3D_APPLY));
    EXPECT_NE(SendMessageA(dlg, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(
        (std::vector<std::string>{ItemText(dlg, IDC_3D_DOPPLER_VALUE), ItemText(dlg, IDC_3D_ROLLOFF_VALUE),
                                  ItemText(dlg, IDC_3D_MIN_DISTANCE_VALUE), ItemText(dlg, IDC_3D_MAX_DISTANCE_VALUE)}),
        (std::vector<std::string>{"0.00", "0.00", "5.00", "10.00"}));
    EXPECT_EQ(g_watched.doppler, 0.0f);
    EXPECT_EQ(g_watched.minDistance, 5.0f);

    Click(dlg, IDC_3D_DEFER);
    EXPECT_TRUE(Enabled(dlg, IDC_3D_APPLY));
    EXPECT_EQ(g_watched.listenerApply, kApplyDeferred);
    const Watched before = g_watched;
    Slide(dlg, IDC_3D_DOPPLER, 35);
    Slide(dlg, IDC_3D_MIN_DISTANCE, 1);
    ASSERT_TRUE(PumpUntil([&] { return ItemText(dlg, IDC_3D_MIN_DISTANCE_VALUE) == "0.01"; }, 2000));
    EXPECT_EQ(ItemText(dlg, IDC_3D_DOPPLER_VALUE), "50.00");
    Run(200);
    EXPECT_GT(g_watched.immediatePlaces, before.immediatePlaces); // the source keeps moving
    EXPECT_EQ(g_watched.immediateSettings, before.immediateSettings);
    EXPECT_EQ(g_watched.doppler, 50.0f);
    EXPECT_EQ(g_watched.minDistance, 0.01f);
    EXPECT_EQ(g_watched.commits, 0);
    Click(dlg, IDC_3D_APPLY);
    EXPECT_EQ(g_watched.commits, 1);

    // Closed while deferring: the next opening hands its settings over at once.
    DestroyWindow(dlg);
    Open3D();
    EXPECT_EQ(g_watched.listenerApply, kApplyImmediate);
    EXPECT_FALSE(Enabled(dlg, IDC_3D_APPLY));
    EXPECT_EQ(g_watched.doppler, 0.0f);
}

std::vector<COLORREF> PixelsOf(HDC dc)
{
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) pixels.push_back(GetPixel(dc, x, y));
    return pixels;
}

TEST_F(Test3DDialog, PlaysAndTheMarkerMovesLeavingTheGridAsItWas)
{
    Open3D();
    Click(dlg, IDC_3D_PLAY);
    EXPECT_TRUE(!Enabled(dlg, IDC_3D_PLAY) && Enabled(dlg, IDC_3D_STOP));
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_3D_STOP));

    // The grid 100/100 sends the cross round the whole picture: a quarter
    // lap (1.6 s, hundreds of moves) takes it far.
    Slide(dlg, IDC_3D_GRID_X, 100);
    Slide(dlg, IDC_3D_GRID_Z, 100);
    Run(100);
    const MarkerPoint first = g_SourceMarker.Centre();
    Run(1600);
    HWND picture = GetDlgItem(dlg, IDC_3D_PICTURE);
    HDC dc = GetDC(picture);
    const std::vector<COLORREF> shown = PixelsOf(dc);
    ReleaseDC(picture, dc);
    const MarkerPoint centre = g_SourceMarker.Centre();
    EXPECT_TRUE(centre.x != first.x || centre.y != first.y);

    // Exactly the grid, with the cross where the marker is now.
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, LoadBitmapA(g_hInstance, MAKEINTRESOURCEA(IDB_GRID3D)));
    std::vector<COLORREF> expected = PixelsOf(mem);
    DeleteObject(SelectObject(mem, old));
    DeleteDC(mem);
    for (const MarkerPoint& o : kCrossOffsets) {
        const int x = centre.x + o.x, y = centre.y + o.y;
        if (x >= 0 && x < 128 && y >= 0 && y < 128) expected[size_t(y) * 128 + x] = kMarkerColour;
    }
    int differing = 0;
    for (size_t i = 0; i < expected.size(); ++i) differing += shown.at(i) != expected[i];
    EXPECT_EQ(differing, 0) << "cross at " << centre.x << "," << centre.y;

    Click(dlg, IDC_3D_STOP);
    EXPECT_TRUE(Enabled(dlg, IDC_3D_PLAY) && !Enabled(dlg, IDC_3D_STOP));
}

} // namespace

// The audio-effects test through its real dialog and its own loop, with
// Wine's DirectMusic and DirectSound: a thread timer runs a script of steps
// inside the test's loop, then presses Exit. Wine 8 attaches the compressor,
// echo, parametric equaliser and Waves reverb (the other four are not
// registered), and its performance sends no segment notifications: the end
// of a sound is queued here through the effect seam.
#include <windows.h>
#include <commctrl.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "dialog_controls.h"
#include "dxtests/audio_effects_dialog_win.h"
#include "dxtests/directx_calls_win.h"
#include "dxtests/effect_calls_win.h"
#include "dxtests/effect_page_win.h"
#include "dxtests/effect_records.h"
#include "dxtests/effect_slider.h"
#include "dxtests/music_engine.h"
#include "dxtests/music_segment.h"
#include "dxtests/segment_notices.h"
#include "file_dialog_hook.h"
#include "message_box_hook.h"
#include "platform/resource_counts_win.h"
#include "resource.h"
#include "state/program_paths.h"
#include "state/win_state_win.h"
#include "tones/wav_writer.h"
#include "wav_variants.h"

namespace {

using Step = std::function<bool(HWND)>; // false: run again on the next tick

struct Script {
    std::vector<Step> steps;
    size_t next = 0;
    bool busy = false, timedOut = false;
    DWORD deadline = 0;
};
Script* g_script = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hDlg = AudioEffectsTestState().hDialog;
    if (!g_script || g_script->busy || !hDlg) return;
    g_script->busy = true; // a step's message box runs this timer too
    g_script->timedOut = GetTickCount() > g_script->deadline;
    if (g_script->timedOut || g_script->next == g_script->steps.size())
        SendMessageA(hDlg, WM_COMMAND, IDOK, 0);
    else if (g_script->steps[g_script->next](hDlg))
        ++g_script->next;
    g_script->busy = false;
}

// Runs the test with the steps; returns its result.
int RunScripted(std::vector<Step> steps)
{
    Script script{std::move(steps)};
    script.deadline = GetTickCount() + 60000;
    g_script = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, Tick);
    const int result = RunAudioEffectsTest();
    KillTimer(nullptr, timer);
    g_script = nullptr;
    EXPECT_FALSE(script.timedOut) << "stopped at step " << script.next;
    EXPECT_EQ(script.next, script.steps.size());
    return result;
}

// Moves the first row's slider; the dialog reads the page as it repaints.
void MoveSlider(HWND hDlg, int32_t position) { Slide(hDlg, IDC_FX_ROW_FIRST + 2, position); }
std::string ContentFile(const char* name) { return std::string(MIRRAVOX_CONTENT_DIR) + "\\" + name; }

// The effect calls, recording every record handed to a live effect, with a
// notice queue the test fills (a queued notice's message is null, its user
// the segment itself).
struct Recorded {
    int32_t kind;
    void* effect;
    std::vector<unsigned char> record;
    HResult answer;
};
std::vector<Recorded> g_handed;
std::vector<SegmentNotice> g_notices;
const EffectCalls* g_platform = nullptr;

HResult RecordingSet(EffectKind kind, void* effect, const void* record)
{
    const HResult answer = g_platform->setAllParameters(kind, effect, record);
    const auto* bytes = static_cast<const unsigned char*>(record);
    g_handed.push_back({kind, effect, {bytes, bytes + EffectRecordSize(kind)}, answer});
    return answer;
}
HResult QueuedNotice(IDirectMusicPerformance8* performance, SegmentNotice* notice)
{
    if (g_notices.empty()) return g_platform->nextNotice(performance, notice);
    *notice = g_notices.front();
    g_notices.erase(g_notices.begin());
    return kSOk;
}
HResult SameObject(void* object, void** out)
{
    static_cast<IUnknown*>(object)->AddRef();
    *out = object;
    return kSOk;
}

class AudioEffectsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hInstance = GetModuleHandleA(nullptr);
        SetDirectXCalls(DirectXCallsWin());
        g_platform = EffectCallsWin();
        calls = *g_platform;
        calls.setAllParameters = RecordingSet;
        calls.nextNotice = QueuedNotice;
        calls.freeNotice = [](IDirectMusicPerformance8* p, void* m) { return m ? g_platform->freeNotice(p, m) : kSOk; };
        calls.querySegmentState = calls.stateSegment = SameObject;
        SetEffectCalls(&calls);
        g_handed.clear();
        g_notices.clear();

        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        prefix = std::string(temp) + "mirravox-fx-" + std::to_string(GetCurrentProcessId());
        // A 16-bit mono 22050 Hz sine of 0.3 s, written by our WAV writer.
        std::vector<int16_t> tone(6615);
        for (size_t i = 0; i < tone.size(); ++i) tone[i] = int16_t(8000 * std::sin(i * 0.125));
        ASSERT_EQ(WriteWavToPath(Made("tone.wav").c_str(), {22050, 1, 16},
                                 {reinterpret_cast<const uint8_t*>(tone.data()), int32_t(tone.size() * 2), 1}),
                  WavResult::Ok);
        Remember(Made("tone.wav"));
    }
    void TearDown() override
    {
        SetEffectCalls(nullptr);
        SetDirectXCalls(nullptr);
        for (const char* name : {"tone.wav", "damaged.wav", "junk.mid"}) DeleteFileA(Made(name).c_str());
    }
    std::string Made(const char* name) const { return prefix + "-" + name; }
    static void Remember(const std::string& path)
    {
        std::snprintf(g_szEffectsSoundFile, sizeof(g_szEffectsSoundFile), "%s", path.c_str());
    }

    EffectCalls calls;
    std::string prefix; // of the test files' names
};

TEST_F(AudioEffectsDialog, PlaysStopsOpensAnotherFileAndOpensAgainAfresh)
{
    Remember(ContentFile("ReggaeBeats.mid"));
    const std::string other = Made("tone.wav");
    const int result = RunScripted({
        [](HWND h) {
            EXPECT_EQ(ItemText(h, IDC_FX_FILENAME), ContentFile("ReggaeBeats.mid"));
            EXPECT_EQ(ItemText(h, IDC_FX_STATUS), "File loaded.");
            EXPECT_TRUE(Checked(h, IDC_FX_LOOP) && Checked(h, IDC_FX_ENABLE_FIRST + kChorus));
            EXPECT_TRUE(Checked(h, IDC_FX_ADJUST_FIRST));
            EXPECT_EQ(ItemText(h, IDC_FX_PAGE_TITLE), "Parameters for [ Chorus ]");
            EXPECT_TRUE(Enabled(h, IDC_FX_PLAY) && !Enabled(h, IDC_FX_STOP) && Enabled(h, IDC_FX_ENABLE_FIRST));
            Click(h, IDC_FX_PLAY);
            EXPECT_EQ(ItemText(h, IDC_FX_STATUS), "Sound playing.");
            EXPECT_NE(AudioEffectsTestState().segment, nullptr);
            EXPECT_TRUE(!Enabled(h, IDC_FX_PLAY) && Enabled(h, IDC_FX_STOP) && !Enabled(h, IDC_FX_LOOP));
            for (int id = IDC_FX_ENABLE_FIRST; id <= IDC_FX_ENABLE_LAST; ++id) EXPECT_FALSE(Enabled(h, id));
            EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_FX_STOP));
            Click(h, IDC_FX_STOP);
            EXPECT_EQ(ItemText(h, IDC_FX_STATUS), "Sound stopped.");
            EXPECT_TRUE(Enabled(h, IDC_FX_PLAY) && !Enabled(h, IDC_FX_STOP) && Enabled(h, IDC_FX_LOOP));
            EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_FX_PLAY));
            // Without Loop, the segment's end as the performance announces it.
            Click(h, IDC_FX_LOOP);
            Click(h, IDC_FX_PLAY);
            g_notices.push_back({nullptr, kSegmentEndOption, AudioEffectsTestState().segment->GetSegment()});
            SetEvent(AudioEffectsTestState().hNotifyEvent);
            return true;
        },
        [](HWND h) { return Enabled(h, IDC_FX_PLAY); }, // waits for the loop to drain the notice
        [&](HWND h) {
            EXPECT_TRUE(!Enabled(h, IDC_FX_STOP) && Enabled(h, IDC_FX_ENABLE_FIRST));
            EXPECT_EQ(ItemText(h, IDC_FX_STATUS), "Sound playing.");
            Click(h, IDC_FX_ADJUST_FIRST + kEcho);
            MoveSlider(h, kSliderTop);
            EXPECT_EQ(AudioEffectsTestState().effects->parameters.echo.fWetDryMix, 100.0f);
            Click(h, IDC_FX_PLAY);
            {
                FileDialogAnswer cancel("");
                Click(h, IDC_FX_OPEN);
                EXPECT_EQ(cancel.Shown(), 1);
                EXPECT_EQ(cancel.Title(), "Open Audio File");
            }
            EXPECT_EQ(ItemText(h, IDC_FX_STATUS), "Load aborted.");
            // The sound stopped; Play and Stop both usable, Loop still as while playing.
            EXPECT_TRUE(Enabled(h, IDC_FX_PLAY) && Enabled(h, IDC_FX_STOP) && !Enabled(h, IDC_FX_LOOP));
            FileDialogAnswer choose(other);
            Click(h, IDC_FX_OPEN);
            EXPECT_EQ(ItemText(h, IDC_FX_FILENAME), other);
            EXPECT_EQ(ItemText(h, IDC_FX_STATUS), "File loaded.");
            EXPECT_TRUE(Enabled(h, IDC_FX_PLAY) && !Enabled(h, IDC_FX_STOP));
            Click(h, IDC_FX_PLAY); // closed while it plays
            return true;
        },
    });
    EXPECT_EQ(result, 0);
    const AudioEffectsTest& state = AudioEffectsTestState();
    EXPECT_TRUE(!state.hDialog && !state.engine && !state.segment && !state.effects && !state.hNotifyEvent);
    // The next opening starts from the file chosen last, and afresh.
    RunScripted({[&](HWND h) {
        EXPECT_EQ(ItemText(h, IDC_FX_FILENAME), other);
        EXPECT_TRUE(Checked(h, IDC_FX_ADJUST_FIRST) && !Checked(h, IDC_FX_ADJUST_FIRST + kEcho));
        EXPECT_EQ(ItemText(h, IDC_FX_PAGE_TITLE), "Parameters for [ Chorus ]");
        EXPECT_NE(AudioEffectsTestState().effects->parameters.echo.fWetDryMix, 100.0f);
        return true;
    }});
}

TEST_F(AudioEffectsDialog, EffectsAttachAndTakeTheirParametersLive)
{
    RunScripted({[](HWND h) {
        // Chorus stays checked: it is not registered, the other four attach without it.
        for (int32_t kind : {kCompressor, kEcho, kParamEq, kReverb}) Click(h, IDC_FX_ENABLE_FIRST + kind);
        Click(h, IDC_FX_PLAY);
        const CBufferEffects& fx = *AudioEffectsTestState().effects;
        EXPECT_EQ(fx.effects[kChorus], nullptr);
        EXPECT_EQ(g_handed.size(), 4u); // Play handed each attached effect its record
        for (int32_t kind : {kCompressor, kEcho, kParamEq, kReverb}) {
            const EffectInfo& info = EffectInfoOf(kind);
            Click(h, IDC_FX_ADJUST_FIRST + kind);
            g_handed.clear();
            MoveSlider(h, kSliderTop);
            if (g_handed.empty()) {
                ADD_FAILURE() << info.title << " was handed nothing";
                continue;
            }
            EXPECT_NE(fx.effects[kind], nullptr);
            EXPECT_EQ(g_handed.back().kind, kind);
            EXPECT_EQ(g_handed.back().effect, fx.effects[kind]);
            EXPECT_EQ(RowValue(g_handed.back().record.data(), info.rows[0]), info.rows[0].max) << info.title;
            std::printf("%s: SetAllParameters answered 0x%08lx\n", info.title, (unsigned long)g_handed.back().answer);
        }
        // The equaliser reports what it was given.
        DSFXParamEq live = {};
        EXPECT_EQ(static_cast<IDirectSoundFXParamEq8*>(fx.effects[kParamEq])->GetAllParameters(&live), S_OK);
        EXPECT_EQ(std::memcmp(&live, &fx.parameters.paramEq, sizeof live), 0);
        EXPECT_EQ(live.fCenter, 16000.0f);
        // An effect that is not attached: its sliders change only its record.
        Click(h, IDC_FX_ADJUST_FIRST + kChorus);
        g_handed.clear();
        MoveSlider(h, kSliderTop);
        EXPECT_TRUE(g_handed.empty());
        EXPECT_EQ(fx.parameters.chorus.fWetDryMix, 100.0f);
        return true;
    }});
}

// A missing sound opens the test with nothing to play. A hundred damaged
// copies of a WAV file our writer made, and junk named .mid, each chosen and
// played in turn, are refused with the status text, no segment and no box.
TEST_F(AudioEffectsDialog, MissingOrDamagedSoundFilesAreRefused)
{
    std::ifstream in(Made("tone.wav"), std::ios::binary);
    std::vector<WavVariant> variants =
        MakeBrokenWavVariants(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {}));
    ASSERT_EQ(variants.size(), 100u);
    variants.push_back({"junk.mid", std::vector<uint8_t>(3000, 0x5A), false});
    const std::string damaged = Made("damaged.wav"), junk = Made("junk.mid");
    Remember(Made("gone.mid"));
    std::vector<Step> steps = {[](HWND h) {
        EXPECT_EQ(ItemText(h, IDC_FX_FILENAME), "");
        EXPECT_EQ(ItemText(h, IDC_FX_STATUS), "No file loaded.");
        EXPECT_TRUE(!Enabled(h, IDC_FX_PLAY) && !Enabled(h, IDC_FX_STOP) && !Checked(h, IDC_FX_ENABLE_FIRST));
        MoveSlider(h, 0); // no page shown yet: the record keeps its value
        EXPECT_EQ(AudioEffectsTestState().effects->parameters.chorus.fWetDryMix, 0.0f);
        return true;
    }};
    for (const WavVariant& v : variants)
        steps.push_back([&](HWND h) {
            const std::string& path = &v == &variants.back() ? junk : damaged;
            std::ofstream(path, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(v.bytes.data()), std::streamsize(v.bytes.size()));
            FileDialogAnswer choose(path);
            Click(h, IDC_FX_OPEN);
            Click(h, IDC_FX_PLAY);
            EXPECT_EQ(ItemText(h, IDC_FX_STATUS), "Could not load the segment file.") << v.name;
            EXPECT_EQ(AudioEffectsTestState().segment, nullptr) << v.name;
            EXPECT_TRUE(Enabled(h, IDC_FX_PLAY) && !Enabled(h, IDC_FX_STOP)) << v.name;
            return true;
        });
    MessageBoxCatcher boxes;
    RunScripted(steps);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(AudioEffectsDialog, DirectSoundFailuresEndTheTestWithTheirMessage)
{
    const struct {
        bool atStart;
        int result;
        const char* text;
    } cases[] = {{true, 0, "Error initializing DirectSound.  Sample will now exit."},
                 {false, 3, "Error playing DirectSound buffer.Sample will now exit."}};
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
        MessageBoxCatcher boxes;
        const Step play = [](HWND h) {
            Click(h, IDC_FX_PLAY);
            return true;
        };
        EXPECT_EQ(c.atStart ? RunAudioEffectsTest() : RunScripted({play}), c.result);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, c.text);
        EXPECT_EQ(boxes.Boxes()[0].caption, "DirectSound Sample");
        EXPECT_EQ(boxes.Boxes()[0].icon, "error");
        EXPECT_EQ(AudioEffectsTestState().engine, nullptr);
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)); // no quit message left behind
    }
}

int ThreadWindows()
{
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(), [](HWND, LPARAM n) { return ++*reinterpret_cast<int*>(n) > 0 ? TRUE : FALSE; },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// Wine 8's DirectMusic keeps kernel handles of every performance it closes
// (one per performance, one more per InitAudio): the dialog's cycles are
// held to what as many bare engine cycles cost.
TEST_F(AudioEffectsDialog, FiftyOpenPlayCloseCyclesLeakNothing)
{
    const std::vector<Step> cycle = {[](HWND h) {
        for (int32_t kind : {kChorus, kCompressor, kEcho, kParamEq, kReverb}) Click(h, IDC_FX_ENABLE_FIRST + kind);
        Click(h, IDC_FX_PLAY);
        return true;
    }};
    RunScripted(cycle); // the platform's one-time set-up happens here
    int platformCost = KernelHandleCount();
    for (int i = 0; i < 50; ++i) EXPECT_EQ(CMusicEngine().Initialize(GetDesktopWindow(), 128, 8), kSOk);
    platformCost = KernelHandleCount() - platformCost;
    const int gdi = GdiObjectCount(), handles = KernelHandleCount(), windows = ThreadWindows();
    for (int i = 0; i < 50; ++i) RunScripted(cycle);
    std::printf("50 cycles: GDI objects %d -> %d, handles %d -> %d (50 bare engine cycles: +%d), windows %d -> %d\n",
                gdi, GdiObjectCount(), handles, KernelHandleCount(), platformCost, windows, ThreadWindows());
    ASSERT_GT(gdi, 0);
    EXPECT_LE(GdiObjectCount(), gdi + 2);
    ASSERT_GT(handles, 0);
    EXPECT_LE(KernelHandleCount() - handles, platformCost + 2);
    EXPECT_EQ(ThreadWindows(), windows);
}

// The page on the template's own controls: every row's controls, the
// trackbars' range and line size, and radio groups kept apart by the dialog
// manager. (The dialog test above reads the real trackbars.)
TEST(EffectPageControls, EveryEffectOnTheTemplatesControls)
{
    InitCommonControls();
    HWND h = CreateDialogParamA(
        GetModuleHandleA(nullptr), "DSAUDIOFX", nullptr,
        [](HWND, UINT msg, WPARAM, LPARAM) -> INT_PTR { return msg == WM_INITDIALOG; }, 0);
    ASSERT_NE(h, nullptr) << GetLastError();
    CDialogPageControls page(h);
    EffectParameterSet set = {};
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind) {
        const EffectInfo& info = EffectInfoOf(kind);
        SCOPED_TRACE(info.title);
        ShowEffectPage(page, set, kind);
        EXPECT_EQ(ItemText(h, IDC_FX_PAGE_TITLE), "Parameters for [ " + std::string(info.title) + " ]");
        for (int32_t r = 0; r < kMaxParameterRows; ++r) {
            const int base = IDC_FX_ROW_FIRST + 5 * r;
            EXPECT_EQ(SendDlgItemMessageA(h, base + 2, TBM_GETRANGEMIN, 0, 0), kSliderBottom);
            EXPECT_EQ(SendDlgItemMessageA(h, base + 2, TBM_GETRANGEMAX, 0, 0), kSliderTop);
            const bool used = r < info.rowCount;
            EXPECT_EQ(ItemText(h, base), used ? info.rows[r].name : "- - -");
            EXPECT_EQ(Enabled(h, base + 2), used);
            if (used) {
                EXPECT_EQ(SendDlgItemMessageA(h, base + 2, TBM_GETLINESIZE, 0, 0),
                          SliderLineSize(info.rows[r].min, info.rows[r].max, info.rows[r].step));
            }
        }
        EXPECT_EQ(Enabled(h, IDC_FX_WAVEFORM_GROUP), info.hasWaveform);
        EXPECT_EQ(Enabled(h, IDC_FX_PHASE_GROUP), info.hasPhase);
    }
    set.chorus.lPhase = 4;
    ShowEffectPage(page, set, kChorus);
    CheckRadioButton(h, IDC_FX_ADJUST_FIRST, IDC_FX_ADJUST_LAST, IDC_FX_ADJUST_FIRST);
    for (int id : {IDC_FX_PHASE_FIRST + 1, IDC_FX_SINE, IDC_FX_ADJUST_FIRST + kEcho}) Click(h, id);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Checked(h, IDC_FX_PHASE_FIRST + i), i == 1) << i;
    EXPECT_TRUE(Checked(h, IDC_FX_SINE) && !Checked(h, IDC_FX_TRIANGLE));
    for (int i = 0; i < kEffectKindCount; ++i) EXPECT_EQ(Checked(h, IDC_FX_ADJUST_FIRST + i), i == kEcho) << i;
    ReadEffectPage(page, set, kChorus, nullptr);
    EXPECT_EQ(set.chorus.lPhase, 1);
    EXPECT_EQ(set.chorus.lWaveform, 1);
    DestroyWindow(h);
}

} // namespace

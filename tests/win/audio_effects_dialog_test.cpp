// The audio-effects test driven through its real dialog and its own loop,
// with Wine's DirectMusic and DirectSound. Each test runs RunAudioEffectsTest
// with a script: a thread timer fires inside the test's loop and runs the
// next step once the previous one is done; after the last step it presses
// Exit.
//
// Wine 8 facts these tests meet: compressor, echo, parametric equaliser and
// Waves reverb attach, the other four are not registered; of the four only
// the equaliser implements SetAllParameters/GetAllParameters (the others
// answer E_NOTIMPL); the performance sends no segment notifications, so the
// end of a sound is announced here through the effect seam's notice queue.
#include <windows.h>
#include <commctrl.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

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
#include "platform/resource_counts_win.h"
#include "resource.h"
#include "state/program_paths.h"
#include "state/win_state_win.h"
#include "wav_variants.h"

namespace {

using Step = std::function<bool(HWND)>;

struct Script {
    std::vector<Step> steps;
    size_t next = 0;
    bool busy = false;
    bool timedOut = false;
    DWORD deadline = 0;
};
Script* g_script = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hDlg = AudioEffectsTestState().hDialog;
    if (!g_script || g_script->busy || !hDlg) return;
    g_script->busy = true; // a step's message box runs this timer too
    if (GetTickCount() > g_script->deadline) {
        g_script->timedOut = true;
        SendMessageA(hDlg, WM_COMMAND, IDOK, 0);
    } else if (g_script->next < g_script->steps.size()) {
        if (g_script->steps[g_script->next](hDlg)) ++g_script->next;
    } else {
        SendMessageA(hDlg, WM_COMMAND, IDOK, 0);
    }
    g_script->busy = false;
}

// Runs the test; returns its result. Steps that return false run again on
// the next tick, until the deadline.
int RunScripted(std::vector<Step> steps, size_t expectedSteps = SIZE_MAX)
{
    Script script;
    script.steps = std::move(steps);
    script.deadline = GetTickCount() + 20000;
    g_script = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, Tick);
    const int result = RunAudioEffectsTest();
    KillTimer(nullptr, timer);
    g_script = nullptr;
    EXPECT_FALSE(script.timedOut) << "stopped at step " << script.next;
    EXPECT_EQ(script.next, expectedSteps == SIZE_MAX ? script.steps.size() : expectedSteps);
    return result;
}

std::string Text(HWND hDlg, int id)
{
    char text[MAX_PATH] = "";
    GetDlgItemTextA(hDlg, id, text, sizeof(text));
    return text;
}
bool Enabled(HWND hDlg, int id) { return IsWindowEnabled(GetDlgItem(hDlg, id)) != FALSE; }
bool Checked(HWND hDlg, int id) { return IsDlgButtonChecked(hDlg, id) == BST_CHECKED; }
void Click(HWND hDlg, int id) { SendDlgItemMessageA(hDlg, id, BM_CLICK, 0, 0); }
// Checks exactly the given enable boxes, as the user would.
void EnableOnly(HWND hDlg, std::vector<int32_t> kinds)
{
    for (int32_t k = 0; k < kEffectKindCount; ++k) {
        const bool wanted = std::find(kinds.begin(), kinds.end(), k) != kinds.end();
        if (Checked(hDlg, IDC_FX_ENABLE_FIRST + k) != wanted) Click(hDlg, IDC_FX_ENABLE_FIRST + k);
    }
}
// Moves a row's slider and repaints it: the trackbar's drawing notices make
// the dialog read the page, as they do while the user drags.
void MoveSlider(HWND hDlg, int row, int32_t position)
{
    HWND slider = GetDlgItem(hDlg, IDC_FX_ROW_FIRST + 5 * row + 2);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    RedrawWindow(slider, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// The effect calls with a recording of every record handed to a live
// effect, and a notice queue the test fills.
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
// A queued notice's message is null, its user the segment itself.
HResult FreeQueued(IDirectMusicPerformance8* performance, void* message)
{
    return message ? g_platform->freeNotice(performance, message) : kSOk;
}
HResult StateOfQueued(void* user, void** state)
{
    static_cast<IUnknown*>(user)->AddRef();
    *state = user;
    return kSOk;
}
HResult SegmentOfQueued(void* state, void** segment)
{
    static_cast<IUnknown*>(state)->AddRef();
    *segment = state;
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
        calls.freeNotice = FreeQueued;
        calls.querySegmentState = StateOfQueued;
        calls.stateSegment = SegmentOfQueued;
        SetEffectCalls(&calls);
        g_handed.clear();
        g_notices.clear();

        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "mirravox-fx-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        sound = folder + "\\tone.wav";
        made.push_back(sound);
        WriteTone(sound, 0.3);
        std::snprintf(g_szEffectsSoundFile, sizeof(g_szEffectsSoundFile), "%s", sound.c_str());
    }
    void TearDown() override
    {
        SetEffectCalls(nullptr);
        SetDirectXCalls(nullptr);
        for (const std::string& file : made) DeleteFileA(file.c_str());
        RemoveDirectoryA(folder.c_str());
    }

    // A 16-bit mono 22050 Hz sine of the given length.
    static void WriteTone(const std::string& path, double seconds)
    {
        const uint32_t frames = static_cast<uint32_t>(22050 * seconds), bytes = frames * 2;
        std::vector<unsigned char> file(44 + bytes);
        auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
        auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
        std::memcpy(&file[0], "RIFF", 4);
        put32(4, 36 + bytes);
        std::memcpy(&file[8], "WAVEfmt ", 8);
        put32(16, 16);
        put16(20, 1);
        put16(22, 1);
        put32(24, 22050);
        put32(28, 44100);
        put16(32, 2);
        put16(34, 16);
        std::memcpy(&file[36], "data", 4);
        put32(40, bytes);
        for (uint32_t i = 0; i < frames; ++i)
            put16(44 + 2 * i, static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(i * 0.125))));
        WriteBytes(path, file);
    }
    static void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
    {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
    std::string Made(const std::string& name, const std::vector<unsigned char>& bytes)
    {
        made.push_back(folder + "\\" + name);
        WriteBytes(made.back(), bytes);
        return made.back();
    }

    EffectCalls calls;
    std::string folder, sound;
    std::vector<std::string> made;
};

TEST_F(AudioEffectsDialog, OpensPlaysAndStops)
{
    sound = MIRRAVOX_CONTENT_DIR "\\ReggaeBeats.mid"; // our own MIDI content file
    std::snprintf(g_szEffectsSoundFile, sizeof(g_szEffectsSoundFile), "%s", sound.c_str());
    const int result = RunScripted({
        [&](HWND h) {
            EXPECT_EQ(Text(h, IDC_FX_FILENAME), sound);
            EXPECT_EQ(Text(h, IDC_FX_STATUS), "File loaded.");
            EXPECT_TRUE(Checked(h, IDC_FX_LOOP) && Checked(h, IDC_FX_ENABLE_FIRST + kChorus));
            EXPECT_TRUE(Checked(h, IDC_FX_ADJUST_FIRST));
            EXPECT_EQ(Text(h, IDC_FX_PAGE_TITLE), "Parameters for [ Chorus ]");
            EXPECT_TRUE(Enabled(h, IDC_FX_PLAY) && !Enabled(h, IDC_FX_STOP) && Enabled(h, IDC_FX_ENABLE_FIRST));
            Click(h, IDC_FX_PLAY);
            return true;
        },
        [&](HWND h) {
            EXPECT_EQ(Text(h, IDC_FX_STATUS), "Sound playing.");
            EXPECT_NE(AudioEffectsTestState().segment, nullptr);
            EXPECT_TRUE(!Enabled(h, IDC_FX_PLAY) && Enabled(h, IDC_FX_STOP) && !Enabled(h, IDC_FX_LOOP));
            for (int id = IDC_FX_ENABLE_FIRST; id <= IDC_FX_ENABLE_LAST; ++id) EXPECT_FALSE(Enabled(h, id));
            EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_FX_STOP));
            Click(h, IDC_FX_STOP);
            return true;
        },
        [&](HWND h) {
            EXPECT_EQ(Text(h, IDC_FX_STATUS), "Sound stopped.");
            EXPECT_TRUE(Enabled(h, IDC_FX_PLAY) && !Enabled(h, IDC_FX_STOP) && Enabled(h, IDC_FX_LOOP));
            EXPECT_EQ(GetFocus(), GetDlgItem(h, IDC_FX_PLAY));
            Click(h, IDC_FX_PLAY); // closing while it plays
            return true;
        },
    });
    EXPECT_EQ(result, 0);
    const AudioEffectsTest& state = AudioEffectsTestState();
    EXPECT_TRUE(!state.hDialog && !state.engine && !state.segment && !state.effects && !state.hNotifyEvent);
}

TEST_F(AudioEffectsDialog, EffectsAttachAndTakeTheirParametersLive)
{
    const int32_t existing[] = {kCompressor, kEcho, kParamEq, kReverb};
    RunScripted({
        [&](HWND h) {
            // Chorus stays checked: it is not registered, the other four attach without it.
            EnableOnly(h, {kChorus, kCompressor, kEcho, kParamEq, kReverb});
            Click(h, IDC_FX_PLAY);
            return true;
        },
        [&](HWND h) {
            const CBufferEffects& fx = *AudioEffectsTestState().effects;
            for (int32_t kind : existing) EXPECT_NE(fx.effects[kind], nullptr) << kind;
            EXPECT_EQ(fx.effects[kChorus], nullptr);
            // Play handed each attached effect its record, within its ranges.
            EXPECT_EQ(g_handed.size(), 4u);
            for (int32_t kind : existing) {
                Click(h, IDC_FX_ADJUST_FIRST + kind);
                g_handed.clear();
                const EffectInfo& info = EffectInfoOf(kind);
                for (int32_t r = 0; r < info.rowCount; ++r) MoveSlider(h, r, r % 2 ? kSliderTop : 1);
                if (g_handed.empty()) {
                    ADD_FAILURE() << info.title << " was handed nothing";
                    continue;
                }
                const Recorded& last = g_handed.back();
                EXPECT_EQ(last.kind, kind);
                EXPECT_EQ(last.effect, fx.effects[kind]);
                for (int32_t r = 0; r < info.rowCount; ++r)
                    EXPECT_EQ(RowValue(last.record.data(), info.rows[r]), r % 2 ? info.rows[r].max : info.rows[r].min)
                        << info.title << " " << info.rows[r].name;
                std::printf("%s: SetAllParameters answered 0x%08lx\n", info.title,
                            static_cast<unsigned long>(last.answer));
            }
            // The equaliser reports what it was given.
            DSFXParamEq live = {};
            EXPECT_EQ(static_cast<IDirectSoundFXParamEq8*>(fx.effects[kParamEq])->GetAllParameters(&live), S_OK);
            EXPECT_EQ(live.fCenter, 80.0f);
            EXPECT_EQ(live.fBandwidth, 36.0f);
            EXPECT_EQ(live.fGain, -15.0f);
            // An effect that is not attached: its sliders change only its record.
            Click(h, IDC_FX_ADJUST_FIRST + kChorus);
            g_handed.clear();
            MoveSlider(h, 0, kSliderTop);
            EXPECT_TRUE(g_handed.empty());
            EXPECT_EQ(fx.parameters.chorus.fWetDryMix, 100.0f);
            return true;
        },
    });
}

TEST_F(AudioEffectsDialog, SoundEndingByItselfWithLoopOff)
{
    RunScripted({
        [&](HWND h) {
            Click(h, IDC_FX_LOOP);
            EXPECT_FALSE(Checked(h, IDC_FX_LOOP));
            Click(h, IDC_FX_PLAY);
            return true;
        },
        [&](HWND h) {
            EXPECT_EQ(Text(h, IDC_FX_STATUS), "Sound playing.");
            // The segment's end, as the performance announces it.
            g_notices.push_back({nullptr, kSegmentEndOption, AudioEffectsTestState().segment->GetSegment()});
            SetEvent(AudioEffectsTestState().hNotifyEvent);
            return true;
        },
        [&](HWND h) { return Enabled(h, IDC_FX_PLAY); }, // waits for the drain
        [&](HWND h) {
            EXPECT_FALSE(Enabled(h, IDC_FX_STOP));
            EXPECT_TRUE(Enabled(h, IDC_FX_ENABLE_FIRST));
            EXPECT_EQ(Text(h, IDC_FX_STATUS), "Sound playing.");
            return true;
        },
    });
}

TEST_F(AudioEffectsDialog, OpeningAnotherFileWhileASoundPlays)
{
    const std::string other = folder + "\\other.wav";
    made.push_back(other);
    WriteTone(other, 0.5);
    RunScripted({
        [](HWND h) {
            Click(h, IDC_FX_PLAY);
            return true;
        },
        [](HWND h) {
            FileDialogAnswer cancel("");
            Click(h, IDC_FX_OPEN);
            EXPECT_EQ(cancel.Shown(), 1);
            EXPECT_EQ(cancel.Title(), "Open Audio File");
            EXPECT_EQ(Text(h, IDC_FX_STATUS), "Load aborted.");
            // The sound stopped; Play and Stop both usable, Loop still as while playing.
            EXPECT_TRUE(Enabled(h, IDC_FX_PLAY) && Enabled(h, IDC_FX_STOP) && !Enabled(h, IDC_FX_LOOP));
            return true;
        },
        [&](HWND h) {
            FileDialogAnswer choose(other);
            Click(h, IDC_FX_OPEN);
            EXPECT_EQ(Text(h, IDC_FX_FILENAME), other);
            EXPECT_EQ(Text(h, IDC_FX_STATUS), "File loaded.");
            EXPECT_TRUE(Enabled(h, IDC_FX_PLAY) && !Enabled(h, IDC_FX_STOP));
            EXPECT_EQ(std::string(g_szEffectsSoundFile), other);
            return true;
        },
    });
    // The next opening starts from the file chosen last.
    RunScripted({[&](HWND h) {
        EXPECT_EQ(Text(h, IDC_FX_FILENAME), other);
        return true;
    }});
}

TEST_F(AudioEffectsDialog, MissingOrDamagedSoundFile)
{
    std::snprintf(g_szEffectsSoundFile, sizeof(g_szEffectsSoundFile), "%s\\gone.mid", folder.c_str());
    RunScripted({[&](HWND h) {
        EXPECT_EQ(Text(h, IDC_FX_FILENAME), "");
        EXPECT_EQ(Text(h, IDC_FX_STATUS), "No file loaded.");
        EXPECT_TRUE(!Enabled(h, IDC_FX_PLAY) && !Enabled(h, IDC_FX_STOP));
        EXPECT_FALSE(Checked(h, IDC_FX_ENABLE_FIRST));
        // Adjusting without a page shown first stores nothing strange.
        MoveSlider(h, 0, 0);
        EXPECT_EQ(AudioEffectsTestState().effects->parameters.chorus.fWetDryMix, 0.0f);
        return true;
    }});

    const std::vector<unsigned char> junk(3000, 0x5A);
    for (const char* name : {"junk.wav", "junk.mid"}) {
        std::snprintf(g_szEffectsSoundFile, sizeof(g_szEffectsSoundFile), "%s", Made(name, junk).c_str());
        MessageBoxCatcher boxes;
        RunScripted({
            [&](HWND h) {
                EXPECT_EQ(Text(h, IDC_FX_STATUS), "File loaded.");
                Click(h, IDC_FX_PLAY);
                return true;
            },
            [&](HWND h) {
                EXPECT_EQ(Text(h, IDC_FX_STATUS), "Could not load the segment file.") << name;
                EXPECT_EQ(AudioEffectsTestState().segment, nullptr);
                EXPECT_TRUE(Enabled(h, IDC_FX_PLAY) && !Enabled(h, IDC_FX_STOP));
                Click(h, IDC_FX_ADJUST_FIRST + kEcho); // still usable
                EXPECT_EQ(Text(h, IDC_FX_PAGE_TITLE), "Parameters for [ Echo ]");
                return true;
            },
        });
        EXPECT_TRUE(boxes.Boxes().empty()) << name;
    }
}

// A hundred damaged copies of a WAV file our writer made, each chosen and
// played in one opening of the dialog: each is refused with the status
// text and no segment, and the dialog goes on to the next.
TEST_F(AudioEffectsDialog, EveryDamagedWavCopyIsRefused)
{
    const std::string good = folder + "\\good.wav", damaged = folder + "\\damaged.wav";
    made.push_back(good), made.push_back(damaged);
    WriteTone(good, 0.1);
    std::ifstream in(good, std::ios::binary);
    const std::vector<WavVariant> variants =
        MakeBrokenWavVariants(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {}));
    ASSERT_EQ(variants.size(), 100u);
    std::vector<Step> steps;
    for (const WavVariant& v : variants) {
        steps.push_back([&](HWND h) {
            WriteBytes(damaged, std::vector<unsigned char>(v.bytes.begin(), v.bytes.end()));
            FileDialogAnswer choose(damaged);
            Click(h, IDC_FX_OPEN);
            Click(h, IDC_FX_PLAY);
            return true;
        });
        steps.push_back([&](HWND h) {
            EXPECT_EQ(Text(h, IDC_FX_STATUS), "Could not load the segment file.") << v.name;
            EXPECT_EQ(AudioEffectsTestState().segment, nullptr) << v.name;
            EXPECT_TRUE(Enabled(h, IDC_FX_PLAY)) << v.name;
            return true;
        });
    }
    MessageBoxCatcher boxes;
    RunScripted(steps);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(AudioEffectsDialog, PlayErrorEndsTheTestWithCode3)
{
    DirectXCalls failing = *DirectXCallsWin();
    failing.playSegment = [](IDirectMusicPerformance8*, IDirectMusicSegment8*, uint32_t, IDirectMusicAudioPath8*) {
        return kEFail;
    };
    SetDirectXCalls(&failing);
    MessageBoxCatcher boxes;
    const int result = RunScripted({[](HWND h) {
                                        Click(h, IDC_FX_PLAY);
                                        return true;
                                    },
                                    [](HWND) { return false; }},
                                   1);
    EXPECT_EQ(result, 3);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Error playing DirectSound buffer.Sample will now exit.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "DirectSound Sample");
    EXPECT_EQ(boxes.Boxes()[0].icon, "error");
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)); // no quit message left behind
}

TEST_F(AudioEffectsDialog, StartFailureEndsTheTest)
{
    DirectXCalls failing = *DirectXCallsWin();
    failing.initAudio = [](IDirectMusicPerformance8*, void*, uint32_t, uint32_t, uint32_t) {
        return static_cast<HResult>(0x88780078u); // DSERR_NODRIVER
    };
    SetDirectXCalls(&failing);
    MessageBoxCatcher boxes;
    EXPECT_EQ(RunAudioEffectsTest(), 0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Error initializing DirectSound.  Sample will now exit.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "DirectSound Sample");
    EXPECT_EQ(AudioEffectsTestState().engine, nullptr);
}

TEST_F(AudioEffectsDialog, TheMainProgramsQuitMessageIsLeftForIt)
{
    RunScripted({[](HWND) {
                     PostQuitMessage(7);
                     return true;
                 },
                 [](HWND) { return false; }},
                1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(AudioEffectsDialog, ReopeningStartsClean)
{
    RunScripted({[](HWND h) {
        Click(h, IDC_FX_ADJUST_FIRST + kEcho);
        MoveSlider(h, 0, kSliderTop);
        EXPECT_EQ(AudioEffectsTestState().effects->parameters.echo.fWetDryMix, 100.0f);
        return true;
    }});
    RunScripted({[](HWND h) {
        EXPECT_TRUE(Checked(h, IDC_FX_ADJUST_FIRST) && !Checked(h, IDC_FX_ADJUST_FIRST + kEcho));
        EXPECT_EQ(Text(h, IDC_FX_PAGE_TITLE), "Parameters for [ Chorus ]");
        EXPECT_NE(AudioEffectsTestState().effects->parameters.echo.fWetDryMix, 100.0f);
        return true;
    }});
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}
int ThreadWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Wine 8's DirectMusic keeps kernel handles of every performance it closes
// (measured: one per performance, one more per InitAudio). So the dialog's
// cycles are held to what the same number of bare engine cycles costs.
int HandlesPerEngineCycles(int cycles)
{
    const int before = KernelHandleCount();
    for (int i = 0; i < cycles; ++i) {
        CMusicEngine engine;
        EXPECT_EQ(engine.Initialize(GetDesktopWindow(), 128, 8), kSOk);
    }
    return KernelHandleCount() - before;
}

TEST_F(AudioEffectsDialog, FiftyOpenPlayCloseCyclesLeakNothing)
{
    const std::vector<Step> cycle = {[](HWND h) {
        EnableOnly(h, {kCompressor, kEcho, kParamEq, kReverb});
        Click(h, IDC_FX_PLAY);
        return true;
    }};
    RunScripted(cycle); // the platform's one-time set-up happens here
    const int platformCost = HandlesPerEngineCycles(50);
    const int gdi = GdiObjectCount();
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const int handles = KernelHandleCount();
    const int windows = ThreadWindows();
    for (int i = 0; i < 50; ++i) RunScripted(cycle);
    const int gdiAfter = GdiObjectCount();
    const DWORD userAfter = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const int handlesAfter = KernelHandleCount();
    std::printf("50 cycles: GDI objects %d -> %d, USER objects %lu -> %lu, handles %d -> %d (50 bare engine "
                "cycles: +%d), windows %d -> %d\n",
                gdi, gdiAfter, user, userAfter, handles, handlesAfter, platformCost, windows, ThreadWindows());
    ASSERT_GT(gdi, 0);
    EXPECT_LE(gdiAfter, gdi + 2);
    EXPECT_LE(userAfter, user + 2);
    ASSERT_GT(handles, 0);
    EXPECT_LE(handlesAfter - handles, platformCost + 2);
    EXPECT_EQ(ThreadWindows(), windows);
}

} // namespace

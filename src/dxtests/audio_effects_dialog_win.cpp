#include "dxtests/audio_effects_dialog_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "dxtests/effect_calls.h"
#include "dxtests/effect_page_win.h"
#include "dxtests/music_engine.h"
#include "dxtests/music_segment.h"
#include "dxtests/segment_notices.h"
#include "resource.h"
#include "shell/help_and_mixer_win.h"
#include "shell/message_boxes_win.h"
#include "state/program_paths.h"
#include "state/win_state_win.h"

namespace {

constexpr uint32_t kPerformanceChannels = 128;
constexpr uint32_t kDynamicStereoPath = 8; // DMUS_APATH_DYNAMIC_STEREO
constexpr int kPlayFailedResult = 3;

AudioEffectsTest s_test = {};

void SetStatus(HWND hDlg, const char* text) { SetDlgItemTextA(hDlg, IDC_FX_STATUS, text); }

void EnableControl(HWND hDlg, int id, bool enabled) { EnableWindow(GetDlgItem(hDlg, id), enabled ? TRUE : FALSE); }

void EndTest(int result)
{
    s_test.ended = true;
    s_test.result = result;
    PostMessageA(nullptr, WM_NULL, 0, 0); // wakes the test's loop
}

void DestroySegment()
{
    delete s_test.segment;
    s_test.segment = nullptr;
}

void ShowPage(HWND hDlg)
{
    CDialogPageControls page(hDlg);
    s_test.showingPage = true;
    ShowEffectPage(page, s_test.effects->parameters, s_test.adjustKind);
    s_test.showingPage = false;
    s_test.pageShown = true;
}

// Reads the page into the adjusted effect's record. Skipped until a page has
// been shown: the template's sliders are not on the parameter scale.
void ReadPage(HWND hDlg)
{
    if (!s_test.effects || !s_test.pageShown || s_test.showingPage) return;
    CDialogPageControls page(hDlg);
    ReadEffectPage(page, s_test.effects->parameters, s_test.adjustKind, s_test.effects->effects[s_test.adjustKind]);
}

// Attaches the engine's default audio path; a path the effects object did
// not take is released here.
HResult AttachDefaultPath(bool loadDefaults)
{
    IDirectMusicAudioPath8* path = s_test.engine->GetDefaultAudioPath();
    const HResult hr = s_test.effects->Initialize(path, loadDefaults);
    if (!Succeeded(hr) && path) GetEffectCalls().release(path);
    return hr;
}

// The effects' own parameters, learnt once from a sound loaded for it.
void LoadDefaults()
{
    CMusicSegment* segment = nullptr;
    if (Succeeded(s_test.engine->CreateSegmentFromFile(&segment, s_test.currentFile, true, false))) {
        AttachDefaultPath(true);
        s_test.effects->Uninitialize();
    }
    delete segment; // also one that failed after it was made
}

BOOL OnInitDialog(HWND hDlg)
{
    HICON icon = LoadIconA(g_hInstance, "MIRRAVOX");
    SendMessageA(hDlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(hDlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    s_test.hDialog = hDlg;
    s_test.engine = new CMusicEngine();
    s_test.effects = new CBufferEffects();
    s_test.adjustKind = kChorus;
    s_test.pageShown = false;

    if (!Succeeded(s_test.engine->Initialize(hDlg, kPerformanceChannels, kDynamicStereoPath))) {
        ShowMessageBox(hDlg, MessageBoxId::DirectSoundStartFailed);
        EndTest(0);
        return TRUE;
    }

    s_test.hNotifyEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (s_test.hNotifyEvent) GetEffectCalls().watchSegments(s_test.engine->performance, s_test.hNotifyEvent);

    char remembered[MAX_PATH];
    std::snprintf(remembered, sizeof(remembered), "%s", g_szEffectsSoundFile);
    if (!Succeeded(SetCurrentFile(hDlg, remembered))) {
        SetDlgItemTextA(hDlg, IDC_FX_FILENAME, "");
        SetStatus(hDlg, "No file loaded.");
        EnableControl(hDlg, IDC_FX_PLAY, false);
        EnableControl(hDlg, IDC_FX_STOP, false);
        return TRUE;
    }
    LoadDefaults();

    CheckDlgButton(hDlg, IDC_FX_LOOP, BST_CHECKED);
    CheckDlgButton(hDlg, IDC_FX_ENABLE_FIRST + kChorus, BST_CHECKED);
    CheckRadioButton(hDlg, IDC_FX_ADJUST_FIRST, IDC_FX_ADJUST_LAST, IDC_FX_ADJUST_FIRST);
    ShowPage(hDlg);
    ShowTransportState(hDlg, true);
    return TRUE;
}

void StopSound(HWND hDlg)
{
    if (s_test.segment) s_test.segment->Stop(0);
    ShowTransportState(hDlg, true);
    SetStatus(hDlg, "Sound stopped.");
}

// The segment goes before the effects' path, the engine last: each still
// uses what the next one owns. The event is closed once nothing signals it.
void OnDestroy()
{
    delete s_test.effects;
    s_test.effects = nullptr;
    DestroySegment();
    delete s_test.engine;
    s_test.engine = nullptr;
    if (s_test.hNotifyEvent) CloseHandle(s_test.hNotifyEvent);
    s_test.hNotifyEvent = nullptr;
    s_test.hDialog = nullptr;
    s_test.pageShown = false;
}

// The enable boxes and Loop have no handler: Play reads them.
BOOL OnCommand(HWND hDlg, int id)
{
    switch (id) {
    case IDOK:
    case IDCANCEL: EndTest(0); return TRUE;
    case IDC_FX_OPEN: OpenSoundFile(hDlg); return TRUE;
    case IDC_FX_PLAY:
        if (!Succeeded(PlayEffectsSound(hDlg))) {
            ShowMessageBox(hDlg, MessageBoxId::DirectSoundPlayFailed);
            EndTest(kPlayFailedResult);
        }
        return TRUE;
    case IDC_FX_STOP: StopSound(hDlg); return TRUE;
    case IDC_FX_HELP: ShowHelpPage(g_hMainWnd, "hid_audiofx.htm"); return TRUE;
    default: break;
    }
    if ((id >= IDC_FX_TRIANGLE && id <= IDC_FX_SINE) || (id >= IDC_FX_PHASE_FIRST && id <= IDC_FX_PHASE_LAST)) {
        ReadPage(hDlg);
        return TRUE;
    }
    if (id >= IDC_FX_ADJUST_FIRST && id <= IDC_FX_ADJUST_LAST) {
        s_test.adjustKind = id - IDC_FX_ADJUST_FIRST;
        if (s_test.effects) ShowPage(hDlg);
        return TRUE;
    }
    return FALSE;
}

} // namespace

const AudioEffectsTest& AudioEffectsTestState() { return s_test; }

void ShowTransportState(HWND hDlg, bool stopped)
{
    EnableControl(hDlg, IDC_FX_LOOP, stopped);
    EnableControl(hDlg, IDC_FX_PLAY, stopped);
    EnableControl(hDlg, IDC_FX_STOP, !stopped);
    SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hDlg, stopped ? IDC_FX_PLAY : IDC_FX_STOP)),
                 TRUE);
    for (int id = IDC_FX_ENABLE_FIRST; id <= IDC_FX_ENABLE_LAST; ++id) EnableControl(hDlg, id, stopped);
}

HResult SetCurrentFile(HWND hDlg, const char* path)
{
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return kEFail;
    SetDlgItemTextA(hDlg, IDC_FX_FILENAME, path);
    SetStatus(hDlg, "File loaded.");
    if (path != s_test.currentFile) std::snprintf(s_test.currentFile, sizeof(s_test.currentFile), "%s", path);
    return kSOk;
}

void OpenSoundFile(HWND hDlg)
{
    std::snprintf(s_test.openFolder, sizeof(s_test.openFolder), "%s", g_szEffectsSoundFile);
    if (char* slash = std::strrchr(s_test.openFolder, '\\')) *slash = '\0';

    EnableControl(hDlg, IDC_FX_PLAY, false);
    EnableControl(hDlg, IDC_FX_STOP, false);
    SetStatus(hDlg, "Loading file...");
    if (s_test.segment) s_test.segment->Stop(0);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFilter = "Audio Files\0*.sgt;*.mid;*.rmi;*.wav\0All Files\0*.*\0\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = s_test.openFile;
    ofn.nMaxFile = sizeof(s_test.openFile);
    ofn.lpstrInitialDir = s_test.openFolder;
    ofn.lpstrTitle = "Open Audio File";
    ofn.lpstrDefExt = "wav"; // the platform adds the dot itself
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&ofn)) {
        SetDlgItemTextA(hDlg, IDC_FX_FILENAME, "");
        SetCurrentFile(hDlg, s_test.openFile);
        EnableControl(hDlg, IDC_FX_PLAY, true);
        EnableControl(hDlg, IDC_FX_STOP, false);
        std::snprintf(g_szEffectsSoundFile, sizeof(g_szEffectsSoundFile), "%s", s_test.openFile);
        return;
    }
    if (s_test.segment) {
        EnableControl(hDlg, IDC_FX_PLAY, true);
        EnableControl(hDlg, IDC_FX_STOP, true);
    }
    SetStatus(hDlg, "Load aborted.");
}

HResult PlayEffectsSound(HWND hDlg)
{
    if (!s_test.engine || !s_test.effects) return kEFail;
    const bool loop = IsDlgButtonChecked(hDlg, IDC_FX_LOOP) == BST_CHECKED;
    s_test.effects->DisableAllEffects();
    DestroySegment();
    s_test.engine->CollectGarbage();

    CMusicSegment* segment = nullptr;
    const HResult loaded =
        s_test.engine->CreateSegmentFromFile(&segment, s_test.currentFile, true, IsMidiPath(s_test.currentFile));
    if (!Succeeded(loaded)) {
        delete segment; // made before a later step failed: nothing of it plays
        SetStatus(hDlg, "Could not load the segment file.");
        return kSFalse;
    }
    s_test.segment = segment;

    AttachDefaultPath(false);
    for (int32_t kind = 0; kind < kEffectKindCount; ++kind)
        if (IsDlgButtonChecked(hDlg, IDC_FX_ENABLE_FIRST + kind) == BST_CHECKED) s_test.effects->EnableEffect(kind);
    // An effect that cannot be attached is simply absent: the sound plays without it.
    s_test.effects->ActivateAvailableEffects();
    s_test.effects->ApplyParameters();

    HResult hr = s_test.segment->SetRepeats(loop ? CMusicSegment::kRepeatForever : 0);
    if (!Succeeded(hr)) return hr;
    hr = s_test.segment->Play(0);
    if (!Succeeded(hr)) return hr;
    ShowTransportState(hDlg, false);
    SetStatus(hDlg, "Sound playing.");
    return kSOk;
}

HResult DrainNotifications(HWND hDlg)
{
    if (!s_test.engine) return kSOk;
    bool ended = false;
    const HResult hr = DrainSegmentNotices(s_test.engine->performance,
                                           s_test.segment ? s_test.segment->GetSegment() : nullptr, &ended);
    if (ended) ShowTransportState(hDlg, true); // the status line keeps "Sound playing."
    return hr;
}

INT_PTR CALLBACK AudioEffectsDialogProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog(hDlg);
    case WM_NOTIFY: ReadPage(hDlg); return TRUE;
    case WM_COMMAND: return OnCommand(hDlg, LOWORD(wParam));
    case WM_DESTROY: OnDestroy(); return TRUE;
    default: return FALSE;
    }
}

int RunAudioEffectsTest()
{
    if (s_test.hDialog) { // one test at a time: the open one comes forward
        SetForegroundWindow(s_test.hDialog);
        return 0;
    }
    const HRESULT com = CoInitialize(nullptr);
    InitCommonControls();
    s_test.ended = false;
    s_test.result = 0;

    HWND hDlg = CreateDialogParamA(g_hInstance, "DSAUDIOFX", nullptr, AudioEffectsDialogProc, 0);
    if (hDlg && !s_test.ended) ShowWindow(hDlg, SW_SHOW);
    bool quitSeen = false;
    WPARAM quitCode = 0;
    while (hDlg && IsWindow(hDlg) && !s_test.ended) {
        HANDLE event = s_test.hNotifyEvent;
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(event ? 1 : 0, &event, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (event && woken == WAIT_OBJECT_0) {
            DrainNotifications(hDlg);
            continue;
        }
        MSG m;
        while (!s_test.ended && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) { // the main program's: handed back below
                quitSeen = true;
                quitCode = m.wParam;
                s_test.ended = true;
                break;
            }
            if (!IsDialogMessageA(hDlg, &m)) {
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        }
    }
    if (hDlg && IsWindow(hDlg)) DestroyWindow(hDlg);
    if (quitSeen) PostQuitMessage(static_cast<int>(quitCode));
    if (SUCCEEDED(com)) CoUninitialize();
    return s_test.result;
}

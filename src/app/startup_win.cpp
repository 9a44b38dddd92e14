#include "app/startup_win.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/command_line.h"
#include "app/diagnostics_win.h"
#include "app/format_settings.h"
#include "app/format_settings_win.h"
#include "app/loopback_command.h"
#include "app/main_window_win.h"
#include "app/position_file_win.h"
#include "app/sound_commands_win.h"
#include "audio/sessions.h"
#include "audio/transfer_statistics.h"
#include "devices/device_lists.h"
#include "display/cpu_load_win.h"
#include "display/fourier.h"
#include "display/frame_win.h"
#include "display/view_settings.h"
#include "dxtests/audio3d_calls_win.h"
#include "dxtests/directx_calls_win.h"
#include "dxtests/effect_calls_win.h"
#include "platform/sim_wave_device.h"
#include "platform/sync.h"
#include "platform/winmm_device_win.h"
#include "resource.h"
#include "shell/combo_tables_win.h"
#include "shell/screen_scale_win.h"
#include "state/win_state_win.h"

const char kMainWindowClass[] = "Mirravox";

namespace {

constexpr int kPlatformNt = 2;

// Directory of the program file (at most `chars` characters), without the
// trailing backslash.
void ProgramDirectory(char* dir, DWORD chars)
{
    dir[0] = '\0';
    const DWORD n = GetModuleFileNameA(nullptr, dir, chars);
    if (n == 0 || n >= chars) dir[chars - 1] = '\0';
    if (char* slash = std::strrchr(dir, '\\')) *slash = '\0';
}

bool IsNtFamily()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return true;
#pragma GCC diagnostic pop
    return info.dwPlatformId == kPlatformNt;
}

void InitTrackbars()
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
}

// The badges keep their size against the display's text, whose font grows
// with the screen's DPI.
void LoadBadge(int id, HDC* dc, Badge* badge)
{
    badge->hBitmap = LoadBitmapA(g_hInstance, MAKEINTRESOURCEA(id));
    HDC displayDc = GetDC(g_hDisplayWnd);
    *dc = CreateCompatibleDC(displayDc);
    BITMAP info = {};
    if (badge->hBitmap && GetObjectA(badge->hBitmap, sizeof(info), &info)) {
        badge->size = {info.bmWidth, info.bmHeight};
        badge->hBitmap = ScaleToScreen(displayDc, badge->hBitmap, &badge->size);
    }
    ReleaseDC(g_hDisplayWnd, displayDc);
    badge->hOldBitmap = (*dc && badge->hBitmap) ? SelectObject(*dc, badge->hBitmap) : nullptr;
}

void FreeBadge(HDC* dc, Badge* badge)
{
    if (*dc && badge->hOldBitmap) SelectObject(*dc, badge->hOldBitmap);
    if (badge->hBitmap) DeleteObject(badge->hBitmap);
    if (*dc) DeleteDC(*dc);
    badge->hBitmap = nullptr;
    badge->hOldBitmap = nullptr;
    *dc = nullptr;
}

// The wave device table: winmm, unless MIRRAVOX_WAVE_DEVICE names another one
// for a test or fault-injection run (sim_wave_device.h).
void SelectStartupWaveDevice()
{
    SetWaveDeviceTable(ChooseWaveDeviceTable(std::getenv("MIRRAVOX_WAVE_DEVICE"), WinmmWaveDeviceTable()));
}

template <typename T>
void DeleteGdi(T* handle)
{
    if (*handle) DeleteObject(*handle);
    *handle = nullptr;
}

} // namespace

void PrepareProcess(HINSTANCE hInstance)
{
    g_hInstance = hInstance;

    g_pInputFourier = nullptr;
    g_pOutputFourier = nullptr;
    g_nInputDeviceId = kWaveMapperId;
    g_nOutputDeviceId = kWaveMapperId;
    SelectStartupWaveDevice();
    ResetDisplayFlags();
    ResetTransferStatistics();
    SetDirectXCalls(DirectXCallsWin());
    SetEffectCalls(EffectCallsWin());
    SetAudio3DCalls(Audio3DCallsWin());

    g_hPaintMutex = CreateMutexA(nullptr, FALSE, "WIN_SIZE_PAINT");
    if (!g_hPlaybackDoneEvent) g_hPlaybackDoneEvent = SyncCreateEvent(true, false);
    if (!g_hCaptureDoneEvent) g_hCaptureDoneEvent = SyncCreateEvent(true, false);

    ProgramDirectory(g_szProgramDir, kMaxPathChars);
    if (IsNtFamily()) {
        char folder[kMaxPathChars] = "";
        BuildSettingsFolder(folder);
        std::strcpy(g_szSettingsDir, folder);
    } else {
        std::strcpy(g_szSettingsDir, g_szProgramDir);
    }

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbWndExtra = DLGWINDOWEXTRA; // the template makes this a dialog window
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, "Mirravox");
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainWindowClass;
    RegisterClassExA(&wc);
}

HWND CreateMainWindow()
{
    // The template holds trackbars, so their class must exist before it is built.
    InitTrackbars();
    g_hMainWnd = CreateDialogParamA(g_hInstance, "Mirravox", nullptr, nullptr, 0);
    if (g_hMainWnd) InitMainWindow(g_hMainWnd);
    return g_hMainWnd;
}

void InitMainWindow(HWND hWnd)
{
    InitTrackbars();

    g_hBlackBrush = CreateSolidBrush(RGB(0, 0, 0));

    g_hDisplayWnd = GetDlgItem(hWnd, IDC_DISPLAY);
    g_hHorzSlider = GetDlgItem(hWnd, IDC_ZOOM);
    g_hScrollBar = GetDlgItem(hWnd, IDC_STORE_SCROLL);
    g_hVertSlider = GetDlgItem(hWnd, IDC_AMPLITUDE);
    GetClientRect(g_hDisplayWnd, &g_rcDisplay);
    g_nDisplayWidth = g_rcDisplay.right - g_rcDisplay.left;
    g_nDisplayHeight = g_rcDisplay.bottom - g_rcDisplay.top;

    const struct {
        int button, icon;
    } icons[] = {{IDC_RECORD, IDI_RECORD}, {IDC_PLAYBACK, IDI_PLAYBACK}, {IDC_STOP, IDI_STOP}};
    for (const auto& b : icons)
        SendDlgItemMessageA(hWnd, b.button, BM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(LoadIconA(g_hInstance, MAKEINTRESOURCEA(b.icon))));

    SendMessageA(g_hVertSlider, TBM_SETRANGEMIN, FALSE, -10);
    SendMessageA(g_hVertSlider, TBM_SETRANGEMAX, FALSE, 10);
    SendMessageA(g_hVertSlider, TBM_SETPOS, TRUE, 1);
    SendMessageA(g_hHorzSlider, TBM_SETRANGEMIN, FALSE, -90);
    SendMessageA(g_hHorzSlider, TBM_SETRANGEMAX, TRUE, 90);
    g_fViewZoom = 1.0f;
    g_nBlockSize = 512;

    FillCombo(hWnd, IDC_RATE, kSampleRateLabels);
    SendDlgItemMessageA(hWnd, IDC_RATE, CB_SETCURSEL, kDefaultRateIndex, 0);
    FillCombo(hWnd, IDC_CHANNELS, kChannelLabels);
    SendDlgItemMessageA(hWnd, IDC_CHANNELS, CB_SETCURSEL, kDefaultChannelIndex, 0);
    FillCombo(hWnd, IDC_RESOLUTION, kResolutionLabels);
    SendDlgItemMessageA(hWnd, IDC_RESOLUTION, CB_SETCURSEL, kDefaultResolutionIndex, 0);
    ApplyFormat(hWnd); // no buffer size is selected yet: the store sizes come out 0

    FillCombo(hWnd, IDC_FRAME_SPEED, kFrameSpeedLabels);
    SendDlgItemMessageA(hWnd, IDC_FRAME_SPEED, CB_SETCURSEL, kDefaultFrameSpeedIndex, 0);
    g_nFrameInterval = static_cast<uint32_t>(FrameIntervalAt(kDefaultFrameSpeedIndex));
    FillCombo(hWnd, IDC_VIEW, kViewLabels);
    SendDlgItemMessageA(hWnd, IDC_VIEW, CB_SETCURSEL, kDefaultViewIndex, 0);
    FillCombo(hWnd, IDC_BUFFER_SIZE, kBufferSizeLabels);
    SendDlgItemMessageA(hWnd, IDC_BUFFER_SIZE, CB_SETCURSEL, kDefaultBufferIndex, 0);

    FreeStores();
    FreePlaybackSource();
    g_bInputWrapped = 0;
    g_bOutputWrapped = 0;
    ApplyBufferSize(hWnd);
    std::snprintf(g_szEffectsSoundFile, sizeof(g_szEffectsSoundFile), "%s\\ReggaeBeats.mid", g_szProgramDir);

    EnableWindow(g_hScrollBar, FALSE);
    ChooseDefaultDevices();
    g_bRecording = 0;

    g_pInputFourier = new CFourier(4 * g_nBlockSize);
    g_pInputFourier->SetSampleRate(g_nSampleRate);
    g_pOutputFourier = new CFourier(4 * g_nBlockSize);
    g_pOutputFourier->SetSampleRate(g_nSampleRate);

    HDC screen = GetDC(nullptr);
    const float scale = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY)) / 96.0f;
    ReleaseDC(nullptr, screen);
    const int fontHeight = static_cast<int>(scale * 14);
    g_hFont = CreateFontA(fontHeight, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    g_nLineHeight = static_cast<int>(fontHeight * 1.2);

    // The 3D test starts with our own piece beside the program.
    std::snprintf(g_sz3DContentFile, sizeof(g_sz3DContentFile), "%s\\Intrigue.mid", g_szProgramDir);

    CreateViewSurfaces();
    CreateOverlaySurface();

    LoadBadge(IDB_BADGE_IN, &g_hBitmap122DC, &g_InBadge);
    LoadBadge(IDB_BADGE_OUT, &g_hBitmap123DC, &g_OutBadge);

    ListenToSessions(hWnd);
    MarkMainWindowReady();
}

void TearDownMainWindow()
{
    if (g_bRecording || g_bPlaying || CaptureSessionActive() || PlaybackSessionActive()) {
        StopAll(g_hMainWnd);
        Sleep(200);
    }
    // A thread that did not close its device in time may still write into
    // the stores and feed the analysers: those are then left to the end of
    // the process rather than freed under it.
    const bool sessionLeft = CaptureSessionActive() || PlaybackSessionActive();
    ListenToSessions(nullptr);
    DeleteGdi(&g_hBlackBrush);
    DeleteGdi(&g_hFont);

    if (!sessionLeft) {
        delete g_pInputFourier;
        g_pInputFourier = nullptr;
        delete g_pOutputFourier;
        g_pOutputFourier = nullptr;
        FreeStores();
        FreePlaybackSource();
    }
    DestroyCpuMonitor();

    DeleteSurfaces();
    FreeBadge(&g_hBitmap122DC, &g_InBadge);
    FreeBadge(&g_hBitmap123DC, &g_OutBadge);

    if (g_hPaintMutex) CloseHandle(g_hPaintMutex);
    g_hPaintMutex = nullptr;

    SaveWindowPosition();
    PostQuitMessage(0);
}

int RunMessageLoop()
{
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// The self-test runs without a window: only what the sessions need is set up.
static int RunHeadlessLoopback(HINSTANCE hInstance, const LoopbackCommand& command)
{
    g_hInstance = hInstance;
    g_nInputDeviceId = kWaveMapperId;
    g_nOutputDeviceId = kWaveMapperId;
    SelectStartupWaveDevice();
    if (!g_hPlaybackDoneEvent) g_hPlaybackDoneEvent = SyncCreateEvent(true, false);
    if (!g_hCaptureDoneEvent) g_hCaptureDoneEvent = SyncCreateEvent(true, false);
    return RunLoopbackCommand(command);
}

int MirravoxMain(HINSTANCE hInstance, int argc, const char* const* argv, int showMode)
{
    const LoopbackCommand loopback = ParseLoopbackCommand(argc, argv);
    if (loopback.present) return RunHeadlessLoopback(hInstance, loopback);

    // The install switch lets the start-up run to its end, then the loop
    // meets the quit request at its first fetch.
    if (HasInstallSwitch(argc, argv)) PostQuitMessage(0);

    PrepareProcess(hInstance);
    if (!CreateMainWindow()) return 1;
    LoadWindowPosition();
    ShowWindow(g_hMainWnd, showMode);
    SetWindowTextA(g_hMainWnd, g_szTitle);
    CreateCpuMonitor(g_hMainWnd);
    StartDiagnostics(g_hMainWnd);
    return RunMessageLoop();
}

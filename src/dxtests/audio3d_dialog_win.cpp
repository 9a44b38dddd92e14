#include "dxtests/audio3d_dialog_win.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>

#include "dxtests/audio3d_test.h"
#include "dxtests/audio3d_texts.h"
#include "dxtests/dx_text_win.h"
#include "dxtests/music_engine.h"
#include "resource.h"
#include "shell/help_and_mixer_win.h"
#include "shell/message_boxes_win.h"
#include "state/program_paths.h"
#include "state/win_state_win.h"

namespace {

// The settings sliders, their value texts and their starting factors.
struct SettingSlider {
    int slider, value;
};
constexpr SettingSlider kSettingSliders[4] = {{IDC_3D_DOPPLER, IDC_3D_DOPPLER_VALUE},
                                              {IDC_3D_ROLLOFF, IDC_3D_ROLLOFF_VALUE},
                                              {IDC_3D_MIN_DISTANCE, IDC_3D_MIN_DISTANCE_VALUE},
                                              {IDC_3D_MAX_DISTANCE, IDC_3D_MAX_DISTANCE_VALUE}};
constexpr Settings3D kStartSettings = {0.0f, 0.0f, 5.0f, 10.0f};

struct SliderRange {
    int id, min, max, start; // start < min: the position is left to SetSettingSliders
};
constexpr SliderRange kSliderRanges[] = {{IDC_3D_DOPPLER, 0, 40, -1},
                                         {IDC_3D_ROLLOFF, 0, 40, -1},
                                         {IDC_3D_MIN_DISTANCE, 1, 40, -1},
                                         {IDC_3D_MAX_DISTANCE, 1, 40, -1},
                                         {IDC_3D_GRID_Z, kGridMin, kGridMax, 10},
                                         {IDC_3D_GRID_X, kGridMin, kGridMax, 50}};

// The file-open dialog's buffers keep the last choice between openings.
char s_szOpenFile[MAX_PATH] = "";
char s_szOpenFolder[MAX_PATH] = "";

int SliderPos(HWND hDlg, int id) { return static_cast<int>(SendDlgItemMessageA(hDlg, id, TBM_GETPOS, 0, 0)); }

// The picture control's pixels through its device context; width and height
// as right + left and bottom + top of its client rectangle.
class PicturePixels : public PixelSurface {
public:
    explicit PicturePixels(HWND hPicture) : m_hWnd(hPicture), m_hDC(GetDC(hPicture)) { GetClientRect(hPicture, &m_rc); }
    ~PicturePixels() override { ReleaseDC(m_hWnd, m_hDC); }
    int Width() const override { return m_rc.right + m_rc.left; }
    int Height() const override { return m_rc.bottom + m_rc.top; }
    uint32_t PixelAt(int x, int y) override { return GetPixel(m_hDC, x, y); }
    void PutPixel(int x, int y, uint32_t colour) override { SetPixel(m_hDC, x, y, colour); }

private:
    HWND m_hWnd;
    HDC m_hDC;
    RECT m_rc = {};
};

void ShowStatus(HWND hDlg, const char* text) { SetDlgItemTextA(hDlg, IDC_3D_FILE, text); }

void Show3DTransportState(HWND hDlg, bool stopped)
{
    HWND hPlay = GetDlgItem(hDlg, IDC_3D_PLAY), hStop = GetDlgItem(hDlg, IDC_3D_STOP);
    // Focus moves before the focused button is disabled.
    if (stopped) {
        EnableWindow(hStop, FALSE);
        EnableWindow(hPlay, TRUE);
        SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hPlay), TRUE);
    } else {
        EnableWindow(hStop, TRUE);
        SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hStop), TRUE);
        EnableWindow(hPlay, FALSE);
    }
}

HResult LoadContentFile(HWND hDlg, const char* path)
{
    ShowStatus(hDlg, "");
    const HResult result = LoadContentSegment(path);
    if (result == kContentLoaded) {
        ShowStatus(hDlg, path);
        Show3DTransportState(hDlg, true);
    }
    return result;
}

void Play3D(HWND hDlg)
{
    const HResult hr = Play3DSegment();
    if (hr == kSOk) {
        Show3DTransportState(hDlg, false);
    } else if (!Succeeded(hr)) {
        ShowMessageBox(hDlg, MessageBoxId::Play3DFailed);
        EndDialog(hDlg, 0);
    }
}

void Read3DSettings(HWND hDlg)
{
    float factors[4];
    for (int i = 0; i < 4; ++i) {
        factors[i] = SliderToFactor(SliderPos(hDlg, kSettingSliders[i].slider));
        char text[32];
        FormatFactor(text, sizeof(text), factors[i]);
        SetDlgItemTextA(hDlg, kSettingSliders[i].value, text);
    }
    Apply3DSettings(factors[0], factors[1], factors[2], factors[3]);
    EnableWindow(GetDlgItem(hDlg, IDC_3D_APPLY), g_Test3D.bDefer);
}

void SetSettingSliders(HWND hDlg, const Settings3D& s)
{
    const float values[4] = {s.doppler, s.rolloff, s.minDistance, s.maxDistance};
    for (int i = 0; i < 4; ++i)
        SendDlgItemMessageA(hDlg, kSettingSliders[i].slider, TBM_SETPOS, TRUE, FactorToSlider(values[i]));
}

void MoveSource(HWND hDlg)
{
    PicturePixels picture(GetDlgItem(hDlg, IDC_3D_PICTURE));
    MoveSourceAt(timeGetTime(), SliderPos(hDlg, IDC_3D_GRID_X), SliderPos(hDlg, IDC_3D_GRID_Z), picture);
}

void Open3DContentFile(HWND hDlg)
{
    std::snprintf(s_szOpenFolder, sizeof(s_szOpenFolder), "%s", g_sz3DContentFile);
    if (char* cut = std::strrchr(s_szOpenFolder, '\\')) *cut = '\0';
    Stop3DSegmentNow();
    EnableWindow(GetDlgItem(hDlg, IDC_3D_PLAY), FALSE);
    EnableWindow(GetDlgItem(hDlg, IDC_3D_STOP), FALSE);
    ShowStatus(hDlg, kLoadingText);
    // The file-open dialog's own loop would still deliver the motion timer.
    g_bSourceMotion = false;

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFilter = kContentFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = s_szOpenFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = s_szOpenFolder;
    ofn.lpstrTitle = kOpenContentTitle;
    ofn.lpstrDefExt = "sgt";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn)) {
        ShowStatus(hDlg, kLoadAbortedText);
        g_bSourceMotion = true;
        return;
    }
    if (LoadContentFile(hDlg, s_szOpenFile) == kContentNotLoaded) ShowStatus(hDlg, kChosenNotLoadedText);
    g_bSourceMotion = true;
    std::snprintf(g_sz3DContentFile, sizeof(g_sz3DContentFile), "%s", s_szOpenFile);
}

void InitDialog(HWND hDlg)
{
    HICON icon = LoadIconA(g_hInstance, "MIRRAVOX");
    SendMessageA(hDlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(hDlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    Begin3DTest();

    if (!Succeeded(Init3DAudio(hDlg))) {
        ShowMessageBox(hDlg, MessageBoxId::Init3DFailed);
        EndDialog(hDlg, 0);
        return;
    }
    g_Test3D.pEngine->SetSearchDirectory(GetDXMediaPath());
    char path[sizeof(g_sz3DContentFile)];
    std::snprintf(path, sizeof(path), "%s", g_sz3DContentFile);
    if (LoadContentFile(hDlg, path) == kContentNotLoaded) ShowStatus(hDlg, kRememberedNotLoadedText);
    SetTimer(hDlg, k3DMotionTimer, k3DMotionInterval, nullptr);

    for (const SliderRange& r : kSliderRanges) {
        SendDlgItemMessageA(hDlg, r.id, TBM_SETRANGEMAX, FALSE, r.max);
        SendDlgItemMessageA(hDlg, r.id, TBM_SETRANGEMIN, TRUE, r.min);
        if (r.start >= r.min) SendDlgItemMessageA(hDlg, r.id, TBM_SETPOS, TRUE, r.start);
    }
    SetSettingSliders(hDlg, kStartSettings);
}

} // namespace

INT_PTR CALLBACK Audio3DDialogProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: InitDialog(hDlg); return TRUE;
    case WM_NOTIFY:
        // The first notification hands the settings over for the first time.
        Read3DSettings(hDlg);
        return TRUE;
    case WM_TIMER:
        if (wParam == k3DMotionTimer) MoveSource(hDlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_3D_OPEN: Open3DContentFile(hDlg); return TRUE;
        case IDC_3D_DEFER:
            // Toggled per press, whatever the button shows.
            g_Test3D.bDefer = !g_Test3D.bDefer;
            Read3DSettings(hDlg);
            return TRUE;
        case IDC_3D_APPLY: Commit3DSettings(); return TRUE;
        case IDC_3D_HELP: ShowHelpPage(g_hMainWnd, kHelp3DAudioPage); return TRUE;
        case IDCANCEL: EndDialog(hDlg, 0); return TRUE;
        case IDC_3D_PLAY: Play3D(hDlg); return TRUE;
        case IDC_3D_STOP:
            if (Stop3DSegment()) Show3DTransportState(hDlg, true);
            return TRUE;
        default: return FALSE;
        }
    case WM_DESTROY: {
        KillTimer(hDlg, k3DMotionTimer);
        Release3DAudio();
        // The picture control does not free the grid it loaded from the
        // template under every system; taken back, it is freed here once.
        HANDLE grid =
            reinterpret_cast<HANDLE>(SendDlgItemMessageA(hDlg, IDC_3D_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (grid) DeleteObject(grid);
        return TRUE;
    }
    default: return FALSE;
    }
}

void Run3DAudioTest() { DialogBoxParamA(g_hInstance, "TEST3D", nullptr, &Audio3DDialogProc, 0); }

#include "display/display_settings_win.h"

#include "display/cpu_load_monitor.h"
#include "display/cpu_load_win.h"
#include "display/frame_win.h"
#include "display/overlay_win.h"
#include "resource.h"
#include "shell/dialog_centring_win.h"
#include "state/display_state.h"
#include "state/win_state_win.h"
#include "state/window_timers.h"

namespace {

struct FlagBox {
    int id;
    int32_t* flag;
};

// The seven check boxes and the flag each one edits.
const FlagBox kFlagBoxes[] = {
    {IDC_SHOW_CPU_LOAD, &g_bShowCpuLoad},     {IDC_SHOW_AVG_CPU_LOAD, &g_bShowAvgCpuLoad},
    {IDC_SHOW_STATUS, &g_bShowStatus},        {IDC_SHOW_GRID, &g_bShowGrid},
    {IDC_SHOW_VIEW_RANGE, &g_bShowViewRange}, {IDC_SHOW_FRAME_RATE, &g_bShowFrameRate},
    {IDC_SHOW_POSITION, &g_bShowPosition},
};

bool Ticked(HWND hDlg, int id) { return IsDlgButtonChecked(hDlg, id) == BST_CHECKED; }

void ReadDisplaySettingsDlg(HWND hDlg)
{
    for (const FlagBox& box : kFlagBoxes) *box.flag = Ticked(hDlg, box.id) ? 1 : 0;
    g_nDisplaySource = Ticked(hDlg, IDC_SOURCE_BOTH) ? 2 : Ticked(hDlg, IDC_SOURCE_OUTPUT) ? 1 : 0;
}

} // namespace

void InitDisplaySettingsDlg(HWND hDlg)
{
    for (const FlagBox& box : kFlagBoxes) CheckDlgButton(hDlg, box.id, *box.flag ? BST_CHECKED : BST_UNCHECKED);
    const int source = g_nDisplaySource == 2   ? IDC_SOURCE_BOTH
                       : g_nDisplaySource == 1 ? IDC_SOURCE_OUTPUT
                                               : IDC_SOURCE_INPUT;
    CheckRadioButton(hDlg, IDC_SOURCE_INPUT, IDC_SOURCE_BOTH, source);
}

INT_PTR CALLBACK DisplaySettingsDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        CenterDialog(hDlg, g_hMainWnd);
        InitDisplaySettingsDlg(hDlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            ReadDisplaySettingsDlg(hDlg);
            EndDialog(hDlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(hDlg, IDOK); // the caller does not tell the two apart
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

void DisplaySettingsCommand(HWND hWnd)
{
    DialogBoxParamA(g_hInstance, "Displaysettings", hWnd, &DisplaySettingsDlgProc, 0);
    const bool cpuLines = g_bShowCpuLoad || g_bShowAvgCpuLoad;
    if (cpuLines && !g_pCpuLoad) {
        CreateCpuMonitor(hWnd);
    } else if (!cpuLines && g_pCpuLoad) {
        DestroyCpuMonitor();
        KillTimer(hWnd, kCpuLoadTimer);
    }
    ComposeFrame(0);
    DrawOverlay();
}

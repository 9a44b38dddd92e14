#include "app/about_box_win.h"

#include "resource.h"
#include "shell/dialog_centring_win.h"
#include "state/win_state_win.h"

INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        CenterDialog(hDlg, g_hMainWnd);
        char version[128] = "";
        FormatVersionLine(version, sizeof(version));
        SetDlgItemTextA(hDlg, IDC_ABOUT_NOTICE, kAboutNotice);
        SetDlgItemTextA(hDlg, IDC_ABOUT_VISIT, kAboutVisit);
        SetDlgItemTextA(hDlg, IDC_ABOUT_WEB, kAboutWebAddress);
        SetDlgItemTextA(hDlg, IDC_ABOUT_VERSION, version);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(hDlg, 0);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE: EndDialog(hDlg, 0); return TRUE;
    default: return FALSE;
    }
}

INT_PTR ShowAboutBox(HWND hOwner) { return DialogBoxParamA(g_hInstance, "ABOUTBOX", hOwner, &AboutDlgProc, 0); }

#include "devices/ds_caps_dialog_win.h"

#include "dxtests/direct_snd.h"
#include "dxtests/ds_caps_text.h"
#include "resource.h"
#include "shell/dialog_centring_win.h"
#include "state/win_state_win.h"

namespace {

// The dialog's state: its CDirectSnd from the first fill of the list to
// the end of the dialog, and the device shown (-1 when there is none).
CDirectSnd* s_pDirectSnd = nullptr;
int s_nSelectedDevice = -1;

void ShowSelectedDevice(HWND hDlg)
{
    if (s_nSelectedDevice < 0 || !s_pDirectSnd || s_nSelectedDevice >= s_pDirectSnd->count) return;
    const DsCaps& caps = s_pDirectSnd->devices[s_nSelectedDevice].caps;
    HWND list = GetDlgItem(hDlg, IDC_DSCAPS_INFO);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    // The longest sentences are wider than the list: let it scroll sideways.
    HDC dc = GetDC(list);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const char* sentence : DsFlagSentences(caps.dwFlags)) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(sentence));
        SIZE size = {};
        GetTextExtentPoint32A(dc, sentence, lstrlenA(sentence), &size);
        if (size.cx > widest) widest = size.cx;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, widest + 4, 0);
    for (const DsCapsField& field : DsCapsFieldTexts(caps)) {
        SetDlgItemTextA(hDlg, field.controlId, field.text.c_str());
    }
}

void FillDeviceList(HWND hDlg)
{
    if (!s_pDirectSnd) s_pDirectSnd = new CDirectSnd(g_hMainWnd);
    int n = s_pDirectSnd->EnumerateDevices();
    HWND combo = GetDlgItem(hDlg, IDC_DSCAPS_DEVICE);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < n; ++i) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s_pDirectSnd->devices[i].description));
    }
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    s_nSelectedDevice = n > 0 ? 0 : -1;
}

void EndDsCapsDialog(HWND hDlg)
{
    delete s_pDirectSnd;
    s_pDirectSnd = nullptr;
    s_nSelectedDevice = -1;
    EndDialog(hDlg, 0);
}

} // namespace

INT_PTR CALLBACK DsCapsDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        CenterDialog(hDlg, g_hMainWnd);
        FillDeviceList(hDlg);
        ShowSelectedDevice(hDlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DSCAPS_DEVICE:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                LRESULT index = SendDlgItemMessageA(hDlg, IDC_DSCAPS_DEVICE, CB_GETCURSEL, 0, 0);
                if (index != CB_ERR) {
                    s_nSelectedDevice = static_cast<int>(index);
                    ShowSelectedDevice(hDlg);
                }
            }
            return TRUE;
        case IDOK:
        case IDCANCEL: EndDsCapsDialog(hDlg); return TRUE;
        }
        return FALSE;
    case WM_CLOSE: EndDsCapsDialog(hDlg); return TRUE;
    default: return FALSE;
    }
}

INT_PTR ShowDsCapsDialog(HWND hOwner)
{
    return DialogBoxParamA(g_hInstance, "DSCAPABILITIES", hOwner, &DsCapsDlgProc, 0);
}

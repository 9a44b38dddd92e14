#include "app/about_box_win.h"

#include "resource.h"
#include "shell/dialog_centring_win.h"
#include "shell/screen_scale_win.h"
#include "state/win_state_win.h"

namespace {

// The picture scaled to the screen's DPI while the box is open, and the one
// the template gave the control, which is put back before the box closes.
struct ScaledPicture {
    HBITMAP hScaled = nullptr;
    HANDLE hTemplate = nullptr;
};
ScaledPicture g_picture; // the box is modal: one at a time

void ScalePicture(HWND hDlg)
{
    HWND control = GetDlgItem(hDlg, IDC_ABOUT_PICTURE);
    HBITMAP bitmap = LoadBitmapA(g_hInstance, MAKEINTRESOURCEA(IDB_ABOUT));
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info)) return;
    SIZE size = {info.bmWidth, info.bmHeight};
    HDC screen = GetDC(control);
    HBITMAP scaled = ScaleToScreen(screen, bitmap, &size);
    ReleaseDC(control, screen);
    if (size.cx == info.bmWidth) { // 96 DPI: the template's picture is the right one
        DeleteObject(scaled);
        return;
    }
    g_picture.hScaled = scaled;
    g_picture.hTemplate =
        reinterpret_cast<HANDLE>(SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled)));
}

void RestorePicture(HWND hDlg)
{
    if (!g_picture.hScaled) return;
    SendDlgItemMessageA(hDlg, IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(g_picture.hTemplate));
    DeleteObject(g_picture.hScaled);
    g_picture = {};
}

} // namespace

INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        ScalePicture(hDlg);
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
    case WM_DESTROY: RestorePicture(hDlg); return FALSE;
    default: return FALSE;
    }
}

INT_PTR ShowAboutBox(HWND hOwner) { return DialogBoxParamA(g_hInstance, "ABOUTBOX", hOwner, &AboutDlgProc, 0); }

#include "shell/dialog_centring_win.h"

#include "shell/dialog_centring.h"

void CenterDialog(HWND hDlg, HWND hOver)
{
    RECT dialog = {}, over = {};
    GetWindowRect(hDlg, &dialog);
    GetWindowRect(hOver, &over);
    HDC dc = GetDC(hDlg);
    const int screenWidth = GetDeviceCaps(dc, HORZRES);
    const int screenHeight = GetDeviceCaps(dc, VERTRES);
    ReleaseDC(hDlg, dc);

    const ScreenPoint at =
        CentredOrigin(dialog.right - dialog.left, dialog.bottom - dialog.top,
                      {over.left, over.top, over.right - over.left, over.bottom - over.top}, screenWidth, screenHeight);
    SetWindowPos(hDlg, nullptr, at.nX, at.nY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

#include "tones/create_tone_dialog_win.h"

#include <algorithm>
#include <string>

#include "resource.h"
#include "shell/dialog_centring_win.h"
#include "shell/message_boxes_win.h"
#include "state/sound_format.h"
#include "state/win_state_win.h"
#include "tones/tone_entries.h"
#include "tones/tone_synth.h"

namespace {

struct ShapeEntry {
    const char* pszText;
    int nBitmap;
};
// In list order: the list index is the ToneShape.
constexpr ShapeEntry kShapeEntries[] = {
    {"Sine", IDB_SHAPE_SINE},   {"Square", IDB_SHAPE_SQUARE},           {"Saw", IDB_SHAPE_SAW},
    {"Spike", IDB_SHAPE_SPIKE}, {"White Noise", IDB_SHAPE_WHITE_NOISE}, {"Pink Noise", IDB_SHAPE_PINK_NOISE},
};
constexpr int kItemHeight = 20;
constexpr int kItemTextX = 84;

std::string FieldText(HWND hDlg, int id)
{
    char text[64] = "";
    GetDlgItemTextA(hDlg, id, text, sizeof text);
    return text;
}

void InitDialog(HWND hDlg)
{
    CenterDialog(hDlg, g_hMainWnd);
    const HWND list = GetDlgItem(hDlg, IDC_TONE_SHAPES);
    for (const ShapeEntry& e : kShapeEntries) {
        const HBITMAP bitmap = LoadBitmapA(g_hInstance, MAKEINTRESOURCEA(e.nBitmap));
        const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.pszText));
        SendMessageA(list, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(bitmap));
    }
    SendMessageA(list, LB_SETCURSEL, g_nToneShape, 0);
    SetDlgItemInt(hDlg, IDC_TONE_AMPLITUDE, static_cast<UINT>(g_nToneAmplitude), FALSE);
    SetDlgItemInt(hDlg, IDC_TONE_FREQUENCY, static_cast<UINT>(g_nToneFrequency), FALSE);
    SetDlgItemInt(hDlg, IDC_TONE_SECONDS, static_cast<UINT>(g_nToneSeconds), FALSE);
    SetFocus(list); // last: taking the focus activates the dialog
}

void ReleaseBitmaps(HWND hDlg)
{
    const HWND list = GetDlgItem(hDlg, IDC_TONE_SHAPES);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT data = SendMessageA(list, LB_GETITEMDATA, i, 0);
        if (data != LB_ERR && data != 0) DeleteObject(reinterpret_cast<HBITMAP>(data));
    }
}

void DrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1)) return;
    if (!(item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) return;
    const HDC dc = item.hDC;
    const RECT& rc = item.rcItem;
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(WHITE_PEN));
    Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);

    const HBITMAP bitmap = reinterpret_cast<HBITMAP>(item.itemData);
    if (bitmap != nullptr) {
        BITMAP info = {};
        GetObjectA(bitmap, sizeof info, &info);
        const HDC memory = CreateCompatibleDC(dc);
        const HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(dc, rc.left, rc.top, std::min<LONG>(info.bmWidth, rc.right - rc.left),
               std::min<LONG>(info.bmHeight, rc.bottom - rc.top), memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }

    char text[32] = "";
    SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, kItemTextX, (rc.top + rc.bottom - metrics.tmHeight) / 2, text, lstrlenA(text));
    if (item.itemState & ODS_SELECTED) DrawFocusRect(dc, &rc);
}

// Play (saving false) or Save: checks the fields, remembers what it read and,
// when everything is accepted, generates the tone. False keeps the dialog open.
bool CheckAndGenerate(HWND hDlg, bool saving)
{
    const std::string amplitude = FieldText(hDlg, IDC_TONE_AMPLITUDE);
    const std::string frequency = FieldText(hDlg, IDC_TONE_FREQUENCY);
    const std::string seconds = FieldText(hDlg, IDC_TONE_SECONDS);
    const ToneCheck check = CheckToneEntries({amplitude.c_str(), frequency.c_str(), seconds.c_str()},
                                             {g_nSampleRate, g_nChannels, g_nBitsPerSample}, saving,
                                             [hDlg](MessageBoxId box) { return ShowMessageBox(hDlg, box) == IDYES; });
    RememberToneEntries(check);
    if (!check.bAccepted) return false;

    const LRESULT selected = SendDlgItemMessageA(hDlg, IDC_TONE_SHAPES, LB_GETCURSEL, 0, 0);
    g_nToneShape = selected >= 0 && selected <= int(ToneShape::PinkNoise) ? int32_t(selected) : 0;
    if (GenerateTone(g_nToneShape, check.nFrequency, check.nAmplitude, check.nGenerateSeconds) ==
        ToneResult::LowMemory) {
        ShowMessageBox(hDlg, MessageBoxId::ToneLowMemory);
        return false;
    }
    return true;
}

INT_PTR CALLBACK CreateToneDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: InitDialog(hDlg); return FALSE; // the focus is on the shape list already
    case WM_MEASUREITEM: reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kItemHeight; return TRUE;
    case WM_DRAWITEM: DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_TONE_PLAY:
            if (CheckAndGenerate(hDlg, false)) EndDialog(hDlg, kToneDialogPlay);
            return TRUE;
        case IDC_TONE_SAVE:
            if (CheckAndGenerate(hDlg, true)) EndDialog(hDlg, kToneDialogSave);
            return TRUE;
        case IDCANCEL: EndDialog(hDlg, kToneDialogCancel); return TRUE;
        default: return FALSE;
        }
    case WM_CLOSE: EndDialog(hDlg, kToneDialogCancel); return TRUE;
    case WM_DESTROY: ReleaseBitmaps(hDlg); return FALSE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR RunCreateToneDialog(HWND hOwner)
{
    return DialogBoxParamA(g_hInstance, "CREATETONE", hOwner, &CreateToneDlgProc, 0);
}

// Reading and working a dialog's controls as the user does, for the tests
// of the program's dialogs.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

inline std::string ItemText(HWND dialog, int id)
{
    char text[MAX_PATH] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}
inline bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
inline bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
inline void Click(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }
// Moves a trackbar and repaints it: its drawing notices tell the dialog, as
// they do while the user drags.
inline void Slide(HWND dialog, int id, int position)
{
    SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, position);
    RedrawWindow(GetDlgItem(dialog, id), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// The entries of a combo box (combo) or of a list box.
inline std::vector<std::string> Items(HWND dialog, int id, bool combo)
{
    std::vector<std::string> items;
    for (LRESULT i = 0; i < SendDlgItemMessageA(dialog, id, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0); ++i) {
        char text[512] = "";
        SendDlgItemMessageA(dialog, id, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}
inline LRESULT Selection(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0); }
// Selects a combo entry and tells the dialog, as the user does.
inline void Choose(HWND dialog, int id, int index)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Our content files beside the program, and a file of the test's in the temporary folder.
inline std::string ContentFile(const char* name) { return std::string(MIRRAVOX_CONTENT_DIR) + "\\" + name; }
inline std::string TempFile(const std::string& name)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    return temp + ("mirravox-" + std::to_string(GetCurrentProcessId()) + "-" + name);
}

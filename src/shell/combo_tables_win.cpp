#include "shell/combo_tables_win.h"

void FillCombo(HWND hWnd, int id, const char* const* labels)
{
    for (int i = 0; labels[i]; ++i) SendDlgItemMessageA(hWnd, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(labels[i]));
}

int SelectedIndex(HWND hWnd, int id) { return static_cast<int>(SendDlgItemMessageA(hWnd, id, CB_GETCURSEL, 0, 0)); }

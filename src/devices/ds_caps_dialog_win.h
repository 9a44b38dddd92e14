// The DirectSound capabilities dialog (template DSCAPABILITIES): the
// DirectSound devices of the machine and, for the one chosen, what its
// capability record says. It only reads; every opening enumerates afresh.
#pragma once

#include <windows.h>

INT_PTR CALLBACK DsCapsDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs the dialog modally over the owner; returns 0.
INT_PTR ShowDsCapsDialog(HWND hOwner);

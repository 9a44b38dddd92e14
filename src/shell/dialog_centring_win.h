// Every dialog of the program centres itself over the main window when it
// initialises: CenterDialog(hDlg, g_hMainWnd).
#pragma once

#include <windows.h>

// Moves the dialog, without changing its size or its place in the window
// order, to the centre of the window, kept on the screen the dialog is on.
void CenterDialog(HWND hDlg, HWND hOver);

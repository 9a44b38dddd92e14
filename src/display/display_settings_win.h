// The "Display settings" dialog (template "Displaysettings", menu command
// 40031): the seven show flags and the display source. Closing it also
// creates or removes the CPU load monitor to match the CPU lines, and redraws.
#pragma once

#include <windows.h>

INT_PTR CALLBACK DisplaySettingsDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
// Sets the controls from the display flags.
void InitDisplaySettingsDlg(HWND hDlg);

// Runs the dialog modally over the main window, then brings the CPU monitor
// and the display in line with the flags, whether OK or Cancel closed it.
void DisplaySettingsCommand(HWND hWnd);

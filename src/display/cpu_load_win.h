// CPU load monitor owned by the main window: g_pCpuLoad, sampled by timer 2.
#pragma once

#include <windows.h>

// Creates the monitor into g_pCpuLoad (a failure is shown in a message box
// and leaves it null), then starts timer 2 either way.
void CreateCpuMonitor(HWND hWnd);
// Closes and destroys the monitor; g_pCpuLoad is null afterwards.
void DestroyCpuMonitor();
// Timer 2: one sample into g_nCpuLoad and g_fAvgCpuLoad (0 without a
// monitor), then the overlay is redrawn.
void UpdateCpuLoad();

// CPU load monitor owned by the main window.
#pragma once

#include <windows.h>

void CreateCpuMonitor(HWND hWnd);
void DestroyCpuMonitor();
void UpdateCpuLoad();

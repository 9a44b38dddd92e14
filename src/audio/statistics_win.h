// Live transfer statistics: the data rates and store fills of the main
// window, updated by statistics timer 1 and once more by Stop.
#pragma once

#include <windows.h>

// Handler of the main window's timers (id 1 statistics, 2 CPU load, 3 redraw).
void UpdateStatistics(HWND hWnd, UINT_PTR timerId);

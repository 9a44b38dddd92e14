// Stand-in: no CPU load monitor is created yet, so timer 2 is not started and
// the overlay has no load figures to show.
#include "display/cpu_load_win.h"

void CreateCpuMonitor(HWND) {}
void DestroyCpuMonitor() {}
void UpdateCpuLoad() {}

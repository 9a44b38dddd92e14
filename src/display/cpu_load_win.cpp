#include "display/cpu_load_win.h"

#include "display/cpu_load_monitor.h"
#include "display/cpu_load_sources_win.h"
#include "display/overlay_win.h"
#include "shell/message_boxes_win.h"
#include "state/window_timers.h"

void CreateCpuMonitor(HWND hWnd)
{
    try {
        g_pCpuLoad = new CCpuLoad(OpenCpuLoadSource());
    } catch (MessageBoxId box) {
        g_pCpuLoad = nullptr;
        ShowMessageBox(nullptr, box);
    }
    SetTimer(hWnd, kCpuLoadTimer, kCpuLoadIntervalMs, nullptr);
}

void DestroyCpuMonitor()
{
    if (!g_pCpuLoad) return;
    g_pCpuLoad->Close();
    delete g_pCpuLoad;
    g_pCpuLoad = nullptr;
}

void UpdateCpuLoad()
{
    SampleCpuLoad(g_pCpuLoad);
    DrawOverlay();
}

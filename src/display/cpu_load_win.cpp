#include "display/cpu_load.h"

#include "app/win_state.h"
#include "display/cpu_load_monitor.h"
#include "display/cpu_load_sources_win.h"
#include "display/overlay.h"

void CreateCpuMonitor(HWND hWnd)
{
    try {
        g_pCpuLoad = new CCpuLoad(OpenCpuLoadSource());
    } catch (const char* text) {
        g_pCpuLoad = nullptr;
        MessageBoxA(nullptr, text, kCpuLoadCaption, MB_ICONEXCLAMATION);
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

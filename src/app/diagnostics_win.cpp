#include "app/diagnostics_win.h"

#include <psapi.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/resource_counts_win.h"
#include "state/stores.h"
#include "state/window_timers.h"

namespace {

std::string s_path;
ULONGLONG s_startMs = 0;

} // namespace

void StartDiagnostics(HWND hWnd)
{
    const char* path = std::getenv("MIRRAVOX_DIAGNOSTICS");
    if (!path || !*path) return;
    s_path = path;
    s_startMs = GetTickCount64();
    SetTimer(hWnd, kDiagnosticsTimer, kDiagnosticsIntervalMs, nullptr);
}

void WriteDiagnosticLine()
{
    if (s_path.empty()) return;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    // Opened for each line, so that the line is on disk even if the program dies.
    std::FILE* file = std::fopen(s_path.c_str(), "a");
    if (!file) return;
    std::fprintf(file,
                 "diag ms=%" PRIu64 " in=%" PRId64 " out=%" PRId64 " gdi=%d handles=%d private=%" PRIu64 " rss=%" PRIu64
                 "\n",
                 uint64_t(GetTickCount64() - s_startMs), int64_t(g_RecordingStore.nDelivered.load()),
                 int64_t(g_PlaybackStore.nDelivered.load()), GdiObjectCount(), KernelHandleCount(),
                 uint64_t(memory.PagefileUsage), uint64_t(memory.WorkingSetSize));
    std::fclose(file);
}

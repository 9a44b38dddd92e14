// The main window's timers.
//
// Threads: a window timer belongs to the thread that owns the window, so only
// the user-interface thread starts and kills them.
#pragma once

#include <cstdint>

constexpr uint32_t kStatisticsTimer = 1; // transfer statistics, while a session's device runs
constexpr uint32_t kStatisticsIntervalMs = 500;
constexpr uint32_t kCpuLoadTimer = 2; // CPU load, from start-up
constexpr uint32_t kCpuLoadIntervalMs = 1000;
constexpr uint32_t kRedrawTimer = 3;      // the display, every g_nFrameInterval ms from Record or Playback to Stop
constexpr uint32_t kDiagnosticsTimer = 4; // the diagnostic line, when one is asked for (app/diagnostics_win.h)
constexpr uint32_t kDiagnosticsIntervalMs = 1000;

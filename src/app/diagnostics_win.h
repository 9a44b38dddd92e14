// The diagnostic line for long runs: when the environment variable
// MIRRAVOX_DIAGNOSTICS names a file, the main window appends one line to it
// every second:
//   diag ms=<since start> in=<bytes recorded> out=<bytes played> gdi=<GDI objects>
//        handles=<kernel handles> private=<private bytes> rss=<working set bytes>
// (one line; the byte counts are what the devices delivered since start-up).
// scripts/soak.sh reads it.
#pragma once

#include <windows.h>

// Starts the line's timer on the main window when a file is named.
void StartDiagnostics(HWND hWnd);
// The timer's tick: appends one line.
void WriteDiagnosticLine();

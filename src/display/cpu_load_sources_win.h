// The Windows sources of the CPU load, chosen by the system:
// - NT family with GetSystemTimes: the idle, kernel and user times,
//   differenced between samples (truthful under Wine as well, whose PDH
//   returns a fixed value for the processor-time counter);
// - NT family without it: the Performance Data Helper, loaded at run time
//   from "PDH.DLL", with the counter "\Processor(_Total)\% Processor Time";
// - outside the NT family: the kernel's statistics under HKEY_DYN_DATA.
// Opening a source that cannot be had throws its message text (const char*).
#pragma once

#include <memory>

#include "display/cpu_load_monitor.h"

extern const char kCpuLoadCaption[];   // "Error while getting CPU load information"
extern const char kPdhLoadText[];      // the library or one of its four functions is missing
extern const char kPdhCallText[];      // opening the query or adding the counter failed
extern const char kRegistryLoadText[]; // a registry open or read failed while starting

bool IsWinNT();

std::unique_ptr<CpuLoadSource> OpenSystemTimesSource(); // null where GetSystemTimes does not exist
std::unique_ptr<CpuLoadSource> OpenPdhSource();
std::unique_ptr<CpuLoadSource> OpenRegistrySource();

// The source for this system. Tests may replace the opener; null restores it.
using CpuLoadSourceOpener = std::unique_ptr<CpuLoadSource> (*)();
void SetCpuLoadSourceOpener(CpuLoadSourceOpener opener);
std::unique_ptr<CpuLoadSource> OpenCpuLoadSource();

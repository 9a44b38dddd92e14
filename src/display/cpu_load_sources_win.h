// The Windows sources of the CPU load, chosen by the system:
// - NT family with GetSystemTimes: the idle, kernel and user times,
//   differenced between samples (truthful under Wine as well, whose PDH
//   returns a fixed value for the processor-time counter);
// - NT family without it: the Performance Data Helper, loaded at run time
//   from "PDH.DLL", with the counter "\Processor(_Total)\% Processor Time";
// - outside the NT family: the kernel's statistics under HKEY_DYN_DATA.
// Opening a source that cannot be had throws the MessageBoxId of its message.
#pragma once

#include <memory>

#include "display/cpu_load_monitor.h"
#include "shell/message_boxes.h"

bool IsWinNT();

std::unique_ptr<CpuLoadSource> OpenSystemTimesSource(); // null where GetSystemTimes does not exist
std::unique_ptr<CpuLoadSource> OpenPdhSource();
std::unique_ptr<CpuLoadSource> OpenRegistrySource();

// The source for this system. Tests may replace the opener; null restores it.
using CpuLoadSourceOpener = std::unique_ptr<CpuLoadSource> (*)();
void SetCpuLoadSourceOpener(CpuLoadSourceOpener opener);
std::unique_ptr<CpuLoadSource> OpenCpuLoadSource();
